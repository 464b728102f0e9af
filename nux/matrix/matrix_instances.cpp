// The one place where the shared dense matrix template is compiled, for both element types.
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_base_impl.h"
#include "nux/matrix/matrix_core.h"

namespace nux {

template class TMatrixBase<double, TMatrix>;
template class TMatrixBase<int32_t, TIntMatrix>;

}  // namespace nux
