// Unit Nux_complex: complex numbers as a plain value type.
#pragma once

#include "nux/complex/cpxarith.h"
