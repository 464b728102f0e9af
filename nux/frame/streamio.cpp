#include "nux/frame/streamio.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace nux {

namespace {

template <class T>
void WriteLE(TStream& Stream, T Value) {
  uint8_t Bytes[sizeof(T)];
  std::memcpy(Bytes, &Value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big) std::reverse(Bytes, Bytes + sizeof(T));
  Stream.WriteBuffer(Bytes, sizeof(T));
}

// A short read moves the position back, so that nothing half-read is consumed.
template <class T>
T ReadLE(TStream& Stream, bool& Ok) {
  uint8_t Bytes[sizeof(T)];
  const int64_t Start = Stream.Position();
  const int64_t N = Stream.Read(Bytes, sizeof(T));
  Ok = N == static_cast<int64_t>(sizeof(T));
  if (!Ok) {
    Stream.SetPosition(Start);
    return T{};
  }
  if constexpr (std::endian::native == std::endian::big) std::reverse(Bytes, Bytes + sizeof(T));
  T Value;
  std::memcpy(&Value, Bytes, sizeof(T));
  return Value;
}

}  // namespace

void WriteLongintToStream(TStream& Stream, int32_t Value) { WriteLE(Stream, Value); }
int32_t ReadLongintFromStream(TStream& Stream, bool& Ok) { return ReadLE<int32_t>(Stream, Ok); }
void WriteExtendedToStream(TStream& Stream, double Value) { WriteLE(Stream, Value); }
double ReadExtendedFromStream(TStream& Stream, bool& Ok) { return ReadLE<double>(Stream, Ok); }

}  // namespace nux
