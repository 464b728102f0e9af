// The library frame: shared types, exceptions and messages, container conventions, progress
// hooks and the base services every unit uses.
#pragma once

#include "nux/frame/access.h"
#include "nux/frame/ascio.h"
#include "nux/frame/colors.h"
#include "nux/frame/container.h"
#include "nux/frame/csvio.h"
#include "nux/frame/dstruct.h"
#include "nux/frame/errors.h"
#include "nux/frame/mixedfstream.h"
#include "nux/frame/plaintext.h"
#include "nux/frame/progress.h"
#include "nux/frame/rounding.h"
#include "nux/frame/streamio.h"
#include "nux/frame/stringl.h"
#include "nux/frame/types.h"
#include "nux/frame/univconst.h"
#include "nux/frame/xmlio.h"
#include "nux/host/host.h"
