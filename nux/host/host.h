// The host layer: object model, exceptions, streams, random numbers and machine facts.
#pragma once

#include "nux/host/atomicfile.h"
#include "nux/host/clipboard.h"
#include "nux/host/exceptions.h"
#include "nux/host/object.h"
#include "nux/host/picture.h"
#include "nux/host/points.h"
#include "nux/host/random.h"
#include "nux/host/streams.h"
#include "nux/host/system.h"
