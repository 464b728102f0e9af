// Unit Nux_sline: the straight line component.
#pragma once

#include "nux/sline/straightline.h"
