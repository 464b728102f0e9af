// Everything the library exports.
#pragma once

#include "nux/frame/frame.h"
#include "nux/host/host.h"
#include "nux/vector/vector.h"
