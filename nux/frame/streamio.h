// Values on byte streams. Integers are 4 bytes and "extended" values 8-byte IEEE doubles, both
// little-endian whatever the machine. Readers report a short read through Ok and return 0.
#pragma once

#include <cstdint>

#include "nux/host/streams.h"

namespace nux {

// Writes Value as 4 little-endian bytes.
void WriteLongintToStream(TStream& Stream, int32_t Value);
// Reads 4 little-endian bytes as an integer.
int32_t ReadLongintFromStream(TStream& Stream, bool& Ok);
// Writes Value as an 8-byte little-endian IEEE double.
void WriteExtendedToStream(TStream& Stream, double Value);
// Reads an 8-byte little-endian IEEE double.
double ReadExtendedFromStream(TStream& Stream, bool& Ok);

}  // namespace nux
