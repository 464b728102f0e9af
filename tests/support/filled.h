// Containers filled from lists, for tests. Built in place, since components cannot be moved;
// filled before any handler is attached, so they start without events.
#pragma once

#include <algorithm>
#include <initializer_list>

#include "nux/matrix/matrix.h"
#include "nux/vector/vector.h"

namespace nux {

template <class V>
struct Filled : V {
  Filled(std::initializer_list<typename V::TElem> Values) {
    this->Resize(static_cast<int32_t>(Values.size()));
    this->CopyFrom(typename V::TArray(Values), 0, 0, 1);
  }
};

using TNestedList = std::initializer_list<std::initializer_list<double>>;

// A matrix given row by row, as it is written on paper.
struct Rows : TMatrix {
  explicit Rows(TNestedList RowList) {
    Resize(static_cast<int32_t>(RowList.begin()->size()), static_cast<int32_t>(RowList.size()));
    size_t R = 0;
    for (const auto& Row : RowList) {
      size_t C = 0;
      for (const double X : Row) Mat[C++][R] = X;
      ++R;
    }
  }
};

// A matrix given column by column, as it is stored.
struct Cols : TMatrix {
  explicit Cols(TNestedList Columns) {
    Resize(static_cast<int32_t>(Columns.size()), static_cast<int32_t>(Columns.begin()->size()));
    size_t C = 0;
    for (const auto& Column : Columns) std::copy(Column.begin(), Column.end(), Mat[C++].begin());
  }
};

}  // namespace nux
