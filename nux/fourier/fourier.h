// Unit Nux_fourier: the fast Fourier transform component.
#pragma once

#include "nux/fourier/fastfourier.h"
#include "nux/fourier/fftkernel.h"
