// Unit math2: multivariate analysis (covariance, eigen analysis, principal components, singular
// value decomposition and regression), curve fitting, clustering and nearest neighbours,
// smoothing and filters, expression checking, polygons and hulls.
#pragma once

#include "nux/math2/cluster.h"
#include "nux/math2/curvefit.h"
#include "nux/math2/eigen.h"
#include "nux/math2/expression.h"
#include "nux/math2/filters.h"
#include "nux/math2/fishq.h"
#include "nux/math2/polygons.h"
#include "nux/math2/regression.h"
