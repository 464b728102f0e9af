// Unit matrix: the dense matrix of doubles, the integer matrix and the three-dimensional array.
#pragma once

#include "nux/matrix/intmatrix.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_text.h"
#include "nux/matrix/svd.h"
