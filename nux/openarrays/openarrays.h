// Free functions on the dynamic arrays of one to four dimensions.
#pragma once

#include "nux/openarrays/arrayfiles.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/arraystats.h"
#include "nux/openarrays/elementwise.h"
