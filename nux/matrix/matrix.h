// Unit matrix: the dense matrix of doubles, the integer matrix and the three- and
// four-dimensional arrays.
#pragma once

#include "nux/matrix/binfile.h"
#include "nux/matrix/intmatrix.h"
#include "nux/matrix/mat3d.h"
#include "nux/matrix/mat4d.h"
#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_text.h"
#include "nux/matrix/svd.h"
