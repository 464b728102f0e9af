// Unit matrix: the dense matrix of doubles.
#pragma once

#include "nux/matrix/matrix_core.h"
