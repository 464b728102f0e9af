// A file of mixed items written and read in sequence: 32-bit integers and doubles (both
// little-endian, 4 and 8 bytes), single bytes, and text lines (UTF-8, ended by LF).
#pragma once

#include <cstdint>
#include <string>

namespace nux {

// Writes a new file (Mode fmCreate, 65280) or reads an existing one (Mode 0). Written items are
// kept in memory and the file is replaced in one step by Close (or the destructor), so a failed
// write leaves an existing file as it was. Reading past the end, reading a stream opened for
// writing and the reverse raise EInOutError.
class TMixedFStream {
 public:
  /// Opens FileName: Mode 65280 to create (nothing touches the disk before Close), 0 to read
  /// (the file is read whole; a missing or unreadable file raises EInOutError).
  TMixedFStream(const std::string& FileName, uint16_t Mode);
  /// Closes the stream; a write that fails here is lost silently, so writers call Close.
  ~TMixedFStream();
  TMixedFStream(const TMixedFStream&) = delete;
  TMixedFStream& operator=(const TMixedFStream&) = delete;

  /// Writing: replaces the file by the items written (EInOutError when it cannot). Once only.
  void Close();
  /// True when every byte of a file being read has been consumed.
  bool Eof() const;

  /// Writes Text and a line feed.
  void WriteLn(const std::string& Text);
  /// The text up to the next line feed (a carriage return before it is dropped); the end of the
  /// file also ends the last line, but reading at the end raises EInOutError.
  std::string ReadLn();
  /// Writes one byte.
  void WriteByte(uint8_t Value);
  /// Reads one byte.
  uint8_t ReadByte();
  /// Writes a 32-bit integer.
  void WriteInteger(int32_t Value);
  /// Reads a 32-bit integer.
  int32_t ReadInteger();
  /// Writes a double with all its bits (NaN payloads and -0 included).
  void WriteDouble(double Value);
  /// Reads a double.
  double ReadDouble();

 private:
  void NeedWriting() const;
  // Checks that Count bytes are left to read.
  void NeedBytes(size_t Count) const;
  std::string FFileName;
  std::string FData;
  size_t FPos = 0;
  bool FWriting = false;
  bool FClosed = false;
};

}  // namespace nux
