#include "nux/host/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "nux/host/atomicfile.h"
#include "nux/host/exceptions.h"

namespace nux {

namespace {

// Position arithmetic that cannot overflow: the result saturates at the int64 limits.
int64_t SaturatedAdd(int64_t A, int64_t B) {
  int64_t R = 0;
  if (__builtin_add_overflow(A, B, &R))
    return B > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
  return R;
}

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count > 0 && Read(Buffer, Count) != Count) throw EInOutError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count > 0 && Write(Buffer, Count) != Count) throw EInOutError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count <= 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::vector<uint8_t> Chunk(static_cast<size_t>(std::min<int64_t>(Count, 1 << 16)));
  int64_t Done = 0;
  while (Done < Count) {
    const int64_t N = std::min<int64_t>(Count - Done, static_cast<int64_t>(Chunk.size()));
    Source.ReadBuffer(Chunk.data(), N);
    WriteBuffer(Chunk.data(), N);
    Done += N;
  }
  return Done;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  const int64_t N = std::min(Count, Size() - FPosition);
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(N));
  FPosition += N;
  return N;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  const int64_t End = SaturatedAdd(FPosition, Count);
  if (End > static_cast<int64_t>(FData.max_size())) return 0;
  try {
    if (End > Size()) FData.resize(static_cast<size_t>(End));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = End;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t Base = 0;
  if (Origin == soCurrent) Base = FPosition;
  if (Origin == soEnd) Base = Size();
  FPosition = std::max<int64_t>(0, SaturatedAdd(Base, Offset));
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  NewSize = std::max<int64_t>(0, NewSize);
  if (NewSize > static_cast<int64_t>(FData.max_size())) throw EOutOfMemory("Out of memory");
  try {
    FData.resize(static_cast<size_t>(NewSize));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory");
  }
  FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream F(FileName, fmOpenRead);
  const int64_t N = F.Size();
  std::vector<uint8_t> Data;
  try {
    Data.resize(static_cast<size_t>(N));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory");
  }
  F.ReadBuffer(Data.data(), N);
  FData.swap(Data);
  FPosition = 0;
}

void TMemoryStream::SaveToFile(const std::string& FileName) const {
  // Through a temporary file, so that a failed save leaves an existing file as it was.
  WriteFileAtomically(FileName, FData.data(), FData.size());
}

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  int Flags = O_CLOEXEC;
  if (Mode == fmCreate) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
    FCanRead = FCanWrite = true;
  } else {
    switch (Mode & 0x3) {
      case fmOpenWrite:
        Flags |= O_WRONLY;
        FCanWrite = true;
        break;
      case fmOpenReadWrite:
        Flags |= O_RDWR;
        FCanRead = FCanWrite = true;
        break;
      default:
        Flags |= O_RDONLY;
        FCanRead = true;
        break;
    }
  }
  FHandle = ::open(FileName.c_str(), Flags, 0666);
  if (FHandle < 0) {
    const std::string Verb = Mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"";
    throw EInOutError(Verb + FileName + "\". " + SystemReason());
  }
  struct stat Info {};
  if (::fstat(FHandle, &Info) == 0 && S_ISDIR(Info.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    throw EInOutError("Cannot open file \"" + FileName + "\". Is a directory");
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  if (!FCanRead || Count <= 0) return 0;
  auto* Out = static_cast<uint8_t*>(Buffer);
  int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N =
        ::read(FHandle, Out + Done, static_cast<size_t>(std::min<int64_t>(Count - Done, 1 << 30)));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  if (!FCanWrite || Count <= 0) return 0;
  const auto* In = static_cast<const uint8_t*>(Buffer);
  int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N =
        ::write(FHandle, In + Done, static_cast<size_t>(std::min<int64_t>(Count - Done, 1 << 30)));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  const int Whence = Origin == soCurrent ? SEEK_CUR : (Origin == soEnd ? SEEK_END : SEEK_SET);
  off_t R = ::lseek(FHandle, static_cast<off_t>(Offset), Whence);
  if (R < 0) R = ::lseek(FHandle, 0, Offset < 0 ? SEEK_SET : SEEK_CUR);
  return static_cast<int64_t>(R);
}

int64_t TFileStream::Size() const {
  struct stat Info {};
  if (::fstat(FHandle, &Info) != 0) return 0;
  return static_cast<int64_t>(Info.st_size);
}

void TFileStream::SetSize(int64_t NewSize) {
  NewSize = std::max<int64_t>(0, NewSize);
  if (!FCanWrite || ::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EInOutError("Cannot set the size of \"" + FFileName + "\". " + SystemReason());
  if (Position() > NewSize) SetPosition(NewSize);
}

}  // namespace nux
