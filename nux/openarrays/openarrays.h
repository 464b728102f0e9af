// Free functions on the dynamic arrays of one to four dimensions.
#pragma once

#include "nux/openarrays/arrayfiles.h"
#include "nux/openarrays/arraymath.h"
#include "nux/openarrays/arraystats.h"
#include "nux/openarrays/edges.h"
#include "nux/openarrays/elementwise.h"
#include "nux/openarrays/images.h"
#include "nux/openarrays/invert.h"
#include "nux/openarrays/regions.h"
#include "nux/openarrays/resample.h"
