// Unit Nux_wavelet: the one-dimensional discrete wavelet transform component.
#pragma once

#include "nux/wavelet/wavelet1d.h"
