// Byte streams of the host layer: an abstract TStream with a memory and a file implementation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "nux/host/object.h"

namespace nux {

// Reference point of TStream::Seek: the start, the current position or the end.
enum TSeekOrigin : int32_t { soBeginning, soCurrent, soEnd };

// File modes of TFileStream.
constexpr uint16_t fmOpenRead = 0x0000;
// Opens an existing file for writing only.
constexpr uint16_t fmOpenWrite = 0x0001;
// Opens an existing file for reading and writing.
constexpr uint16_t fmOpenReadWrite = 0x0002;
// Creates the file, or empties an existing one, for reading and writing.
constexpr uint16_t fmCreate = 0xFF00;

// A byte stream with a position: reading and writing advance it.
class TStream : public TObject {
 public:
  // Reads up to Count bytes; returns the number read (0 at the end or for Count <= 0).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; returns the number written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position; a target before the start clips to 0. Returns the new position.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  // Length of the stream in bytes.
  virtual int64_t Size() const = 0;
  // Truncates or extends (with zero bytes) the stream; the position is kept within it.
  virtual void SetSize(int64_t NewSize) = 0;

  // The current position, in bytes from the start.
  int64_t Position() { return Seek(0, soCurrent); }
  // Moves to Pos bytes from the start (clipped to 0).
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }

  // Read or write exactly Count bytes or raise EInOutError ("Stream read error",
  // "Stream write error").
  void ReadBuffer(void* Buffer, int64_t Count);
  // Writes exactly Count bytes or raises EInOutError "Stream write error".
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes (0: the whole source from its start) and returns the count copied.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

// A stream held in memory; writing beyond the end extends it.
class TMemoryStream : public TStream {
 public:
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  // Length of the contents in bytes.
  int64_t Size() const override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  // Empties the stream and frees its memory; the position becomes 0.
  void Clear();
  // The contents, Size() bytes; valid until the size changes.
  const uint8_t* Memory() const { return FData.data(); }
  uint8_t* Memory() { return FData.data(); }
  // Replace the contents by a file's bytes, or write them to a file (through a temporary file,
  // so that a failed save leaves an existing file alone); failures raise EInOutError.
  void LoadFromFile(const std::string& FileName);
  // Writes the contents to a file, replacing it; failures raise EInOutError.
  void SaveToFile(const std::string& FileName) const;

 private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A stream on a file opened through the operating system; the destructor closes it.
class TFileStream : public TStream {
 public:
  // fmCreate creates (or truncates) the file for reading and writing; fmOpenRead,
  // fmOpenWrite and fmOpenReadWrite open an existing file. Failure raises EInOutError.
  TFileStream(const std::string& FileName, uint16_t Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  // Length of the file in bytes; 0 when it cannot be determined.
  int64_t Size() const override;
  void SetSize(int64_t NewSize) override;
  // The file name the stream was opened with.
  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
  int FHandle = -1;
  bool FCanRead = false;
  bool FCanWrite = false;
};

}  // namespace nux
