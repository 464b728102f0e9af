// Unit Nux_math1: scalar functions, number text conversion, sorting and selection on raw arrays,
// and plane geometry.
#pragma once

#include "nux/frame/frame.h"
#include "nux/math1/geometry.h"
#include "nux/math1/numtext.h"
#include "nux/math1/scalar.h"
#include "nux/math1/sorting.h"
