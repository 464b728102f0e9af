// Everything the library exports.
#pragma once

#include "nux/complex/complex.h"
#include "nux/frame/frame.h"
#include "nux/host/host.h"
#include "nux/math1/math1.h"
#include "nux/sline/sline.h"
#include "nux/vector/vector.h"
