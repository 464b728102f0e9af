#include "nux/host/atomicfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "nux/host/exceptions.h"

namespace nux {

namespace {

// Creates a new file next to FileName that no one else uses, with the permissions a newly
// created file would get.
FILE* CreateTemporary(const std::string& FileName, std::string& TempName) {
  static std::atomic<uint32_t> Counter{0};
  for (int Attempt = 0; Attempt < 100; ++Attempt) {
    TempName =
        FileName + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(Counter.fetch_add(1));
    const int Fd = ::open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (Fd >= 0) {
      FILE* F = ::fdopen(Fd, "wb");
      if (F == nullptr) {
        ::close(Fd);
        ::unlink(TempName.c_str());
      }
      return F;
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

}  // namespace

void WriteFileAtomically(const std::string& FileName, const TFileBody& Body) {
  if (FileName.empty()) throw EInOutError("Cannot create file \"\"");
  std::string TempName;
  FILE* F = CreateTemporary(FileName, TempName);
  if (F == nullptr)
    throw EInOutError("Cannot create file \"" + FileName + "\": " + std::strerror(errno));
  std::string Error;
  bool Ok = false;
  try {
    Ok = Body(F, Error);
  } catch (...) {
    std::fclose(F);
    ::unlink(TempName.c_str());
    throw;
  }
  if (Ok && (std::fflush(F) != 0 || std::ferror(F) != 0)) {
    Ok = false;
    Error = std::strerror(errno);
  }
  if (std::fclose(F) != 0 && Ok) {
    Ok = false;
    Error = std::strerror(errno);
  }
  if (Ok && std::rename(TempName.c_str(), FileName.c_str()) != 0) {
    Ok = false;
    Error = std::strerror(errno);
  }
  if (!Ok) {
    ::unlink(TempName.c_str());
    throw EInOutError("Cannot write file \"" + FileName + "\": " + Error);
  }
}

void WriteFileAtomically(const std::string& FileName, const void* Data, size_t Size) {
  WriteFileAtomically(FileName, [&](FILE* F, std::string& Error) {
    if (Size == 0 || std::fwrite(Data, 1, Size, F) == Size) return true;
    Error = std::strerror(errno);
    return false;
  });
}

bool WriteWholeFile(const std::string& FileName, const std::string& Data) {
  try {
    WriteFileAtomically(FileName, Data.data(), Data.size());
    return true;
  } catch (const EInOutError&) {
    return false;
  }
}

}  // namespace nux
