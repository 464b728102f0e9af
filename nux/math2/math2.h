// Unit math2: multivariate analysis (covariance, eigen analysis, principal components, singular
// value decomposition and regression) and curve fitting.
#pragma once

#include "nux/math2/curvefit.h"
#include "nux/math2/eigen.h"
#include "nux/math2/expression.h"
#include "nux/math2/filters.h"
#include "nux/math2/fishq.h"
#include "nux/math2/polygons.h"
#include "nux/math2/regression.h"
