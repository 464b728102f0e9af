// Unit math2: multivariate analysis (covariance, eigen analysis, principal components, singular
// value decomposition and regression).
#pragma once

#include "nux/math2/cluster.h"
#include "nux/math2/eigen.h"
#include "nux/math2/fishq.h"
#include "nux/math2/regression.h"
