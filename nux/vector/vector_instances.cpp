// The one place where the shared vector template is compiled, for both element types.
#include "nux/vector/vector_core_impl.h"
#include "nux/vector/vector_stats_impl.h"

namespace nux {

template class TVectorBase<double, TVector>;
template class TVectorBase<int32_t, TIntVector>;

}  // namespace nux
