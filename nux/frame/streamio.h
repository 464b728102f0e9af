// Values on byte streams. Integers are 4 bytes and "extended" values 8-byte IEEE doubles, both
// little-endian whatever the machine. Readers report a short read through Ok and return 0.
#pragma once

#include <cstdint>

#include "nux/host/streams.h"

namespace nux {

void WriteLongintToStream(TStream& Stream, int32_t Value);
int32_t ReadLongintFromStream(TStream& Stream, bool& Ok);
void WriteExtendedToStream(TStream& Stream, double Value);
double ReadExtendedFromStream(TStream& Stream, bool& Ok);

}  // namespace nux
