// Writing a whole file so that a failure leaves nothing behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace nux {

// Body writes the contents to F (a new temporary file next to FileName) and returns false with
// a reason in Error when it fails. Only when Body succeeds and the data reach the disk is the
// temporary file renamed over FileName; otherwise it is removed, and an existing FileName
// stays as it was. Failures raise EInOutError ("Cannot create file ..." / "Cannot write file
// ...").
using TFileBody = std::function<bool(FILE* F, std::string& Error)>;
// Writes FileName through Body as described above.
void WriteFileAtomically(const std::string& FileName, const TFileBody& Body);

// The same for Size bytes at Data; failures raise EInOutError as above.
void WriteFileAtomically(const std::string& FileName, const void* Data, size_t Size);

// The same for contents already in memory; false (nothing written) on any failure.
bool WriteWholeFile(const std::string& FileName, const std::string& Data);

}  // namespace nux
