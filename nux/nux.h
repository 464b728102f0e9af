// Everything the library exports.
#pragma once

#include "nux/complex/complex.h"
#include "nux/datatable/datatable.h"
#include "nux/fourier/fourier.h"
#include "nux/frame/frame.h"
#include "nux/host/host.h"
#include "nux/kohonen/kohonen.h"
#include "nux/math1/math1.h"
#include "nux/math2/math2.h"
#include "nux/matrix/matrix.h"
#include "nux/membl/membl.h"
#include "nux/openarrays/openarrays.h"
#include "nux/sline/sline.h"
#include "nux/statis/statis.h"
#include "nux/vector/vector.h"
#include "nux/vector/vector_text.h"
#include "nux/wavelet/wavelet.h"
