// Containers filled from lists, for tests. Built in place, since components cannot be moved.
#pragma once

#include <initializer_list>

#include "nux/vector/vector.h"

namespace nux {

template <class V>
struct Filled : V {
  Filled(std::initializer_list<typename V::TElem> Values) {
    this->Resize(static_cast<int32_t>(Values.size()));
    this->CopyFrom(typename V::TArray(Values), 0, 0, 1);
  }
};

}  // namespace nux
