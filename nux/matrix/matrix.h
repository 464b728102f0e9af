// Unit matrix: the dense matrix of doubles.
#pragma once

#include "nux/matrix/matrix_core.h"
#include "nux/matrix/matrix_text.h"
#include "nux/matrix/svd.h"
