#include "nux/frame/mixedfstream.h"

#include <bit>
#include <cstring>
#include <utility>

#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"
#include "nux/host/streams.h"

namespace nux {

namespace {

template <class T>
void Append(std::string& Out, T Value) {
  unsigned char B[sizeof(T)];
  std::memcpy(B, &Value, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    for (size_t I = 0; I < sizeof(T) / 2; ++I) std::swap(B[I], B[sizeof(T) - 1 - I]);
  Out.append(reinterpret_cast<const char*>(B), sizeof(T));
}

template <class T>
T Take(const std::string& In, size_t& Pos) {
  unsigned char B[sizeof(T)];
  std::memcpy(B, In.data() + Pos, sizeof(T));
  if constexpr (std::endian::native == std::endian::big)
    for (size_t I = 0; I < sizeof(T) / 2; ++I) std::swap(B[I], B[sizeof(T) - 1 - I]);
  Pos += sizeof(T);
  T Value;
  std::memcpy(&Value, B, sizeof(T));
  return Value;
}

}  // namespace

TMixedFStream::TMixedFStream(const std::string& FileName, uint16_t Mode)
    : FFileName(FileName), FWriting(Mode == fmCreate) {
  if (FWriting) return;
  if (Mode != fmOpenRead) throw EInOutError("Invalid file mode for \"" + FileName + "\"");
  TMemoryStream S;  // raises EInOutError for a missing or unreadable file
  S.LoadFromFile(FileName);
  FData.assign(reinterpret_cast<const char*>(S.Memory()), size_t(S.Size()));
}

TMixedFStream::~TMixedFStream() {
  try {
    Close();
  } catch (const Exception&) {
  }
}

void TMixedFStream::Close() {
  if (FClosed) return;
  FClosed = true;
  if (FWriting) WriteFileAtomically(FFileName, FData.data(), FData.size());
}

bool TMixedFStream::Eof() const { return FWriting || FPos >= FData.size(); }

void TMixedFStream::NeedWriting() const {
  if (!FWriting || FClosed) throw EInOutError("File not open for output: \"" + FFileName + "\"");
}

void TMixedFStream::NeedBytes(size_t Count) const {
  if (FWriting) throw EInOutError("File not open for input: \"" + FFileName + "\"");
  if (FData.size() - FPos < Count)
    throw EInOutError("Read beyond end of file \"" + FFileName + "\"");
}

void TMixedFStream::WriteLn(const std::string& Text) {
  NeedWriting();
  FData += Text;
  FData += '\n';
}

std::string TMixedFStream::ReadLn() {
  NeedBytes(1);
  const size_t End = FData.find('\n', FPos);
  const size_t Stop = End == std::string::npos ? FData.size() : End;
  std::string Line = FData.substr(FPos, Stop - FPos);
  if (!Line.empty() && Line.back() == '\r') Line.pop_back();
  FPos = End == std::string::npos ? FData.size() : End + 1;
  return Line;
}

void TMixedFStream::WriteByte(uint8_t Value) {
  NeedWriting();
  FData += static_cast<char>(Value);
}

uint8_t TMixedFStream::ReadByte() {
  NeedBytes(1);
  return static_cast<uint8_t>(FData[FPos++]);
}

void TMixedFStream::WriteInteger(int32_t Value) {
  NeedWriting();
  Append(FData, Value);
}

int32_t TMixedFStream::ReadInteger() {
  NeedBytes(4);
  return Take<int32_t>(FData, FPos);
}

void TMixedFStream::WriteDouble(double Value) {
  NeedWriting();
  Append(FData, Value);
}

double TMixedFStream::ReadDouble() {
  NeedBytes(8);
  return Take<double>(FData, FPos);
}

}  // namespace nux
