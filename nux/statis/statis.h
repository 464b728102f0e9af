// Unit Nux_statis: special functions, probability distributions and statistical tests.
#pragma once

#include "nux/statis/classifier.h"
#include "nux/statis/contingency.h"
#include "nux/statis/distributions.h"
#include "nux/statis/gammabeta.h"
#include "nux/statis/hypotests.h"
#include "nux/statis/kstest.h"
#include "nux/statis/randgen.h"
