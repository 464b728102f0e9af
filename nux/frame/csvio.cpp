#include "nux/frame/csvio.h"

#include <algorithm>

namespace nux {

char CSVDelimiterChar(TCSVDelimiters Delimiter) {
  switch (Delimiter) {
    case csvSemicolon:
      return ';';
    case csvTab:
      return '\t';
    case csvBlank:
      return ' ';
    default:
      return ',';
  }
}

std::string CSVField(std::string_view Text, char Delimiter) {
  bool Quote = Text.empty() ? Delimiter == ' ' : (Text.front() == ' ' || Text.back() == ' ');
  for (const char C : Text)
    if (C == Delimiter || C == '"' || C == '\n' || C == '\r') Quote = true;
  if (!Quote) return std::string(Text);
  std::string S = "\"";
  for (const char C : Text) {
    S.push_back(C);
    if (C == '"') S.push_back('"');
  }
  S.push_back('"');
  return S;
}

void TCSVScanner::Reset(std::string_view Text, size_t Pos) {
  FText = Text;
  FPos = Pos;
  FFailed = false;
  FStore.clear();
}

bool TCSVScanner::NextRecord(std::vector<std::string_view>& Fields) {
  Fields.clear();
  FStore.clear();
  const size_t N = FText.size();
  const char* T = FText.data();
  const bool Blank = FDelim == ' ';
  if (FFailed || FPos >= N) return false;
  if (Blank)
    while (FPos < N && T[FPos] == ' ') ++FPos;
  for (;;) {
    if (FPos < N && T[FPos] == '"') {
      // Quoted: runs between doubled quotes are joined; text after the closing quote up to
      // the delimiter is kept as well.
      size_t Start = ++FPos;
      std::string* Joined = nullptr;
      for (;;) {
        while (FPos < N && T[FPos] != '"') ++FPos;
        if (FPos >= N) {
          FFailed = true;
          Fields.clear();
          return false;
        }
        if (FPos + 1 < N && T[FPos + 1] == '"') {
          if (!Joined) Joined = &FStore.emplace_back();
          Joined->append(T + Start, FPos + 1 - Start);
          FPos += 2;
          Start = FPos;
          continue;
        }
        break;
      }
      const size_t End = FPos++;
      const size_t Tail = FPos;
      while (FPos < N && T[FPos] != FDelim && T[FPos] != '\n' && T[FPos] != '\r') ++FPos;
      if (Joined || FPos > Tail) {
        if (!Joined) Joined = &FStore.emplace_back();
        Joined->append(T + Start, End - Start);
        Joined->append(T + Tail, FPos - Tail);
        Fields.emplace_back(*Joined);
      } else {
        Fields.emplace_back(T + Start, End - Start);
      }
    } else {
      const size_t Start = FPos;
      while (FPos < N && T[FPos] != FDelim && T[FPos] != '\n' && T[FPos] != '\r') ++FPos;
      Fields.emplace_back(T + Start, FPos - Start);
    }
    if (FPos >= N) return true;
    const char C = T[FPos++];
    if (C == '\r') {
      if (FPos < N && T[FPos] == '\n') ++FPos;
      return true;
    }
    if (C == '\n') return true;
    if (Blank) {
      while (FPos < N && T[FPos] == ' ') ++FPos;
      if (FPos >= N || T[FPos] == '\n' || T[FPos] == '\r') {
        if (FPos < N && T[FPos++] == '\r' && FPos < N && T[FPos] == '\n') ++FPos;
        return true;
      }
    }
  }
}

TCSVFileReader::TCSVFileReader(char Delimiter, size_t BlockSize)
    : FScan(std::string_view(), Delimiter), FBlock(std::max<size_t>(BlockSize, 1)) {}

int32_t TCSVFileReader::Open(const std::string& FName) {
  std::string().swap(FBuf);
  FScan.Reset(FBuf, 0);
  FDone = 0;
  FRead = 0;
  FEnd = false;
  return FFile.Open(FName);
}

int32_t TCSVFileReader::Next(std::vector<std::string_view>& Fields) {
  for (;;) {
    const size_t Start = FScan.Position();
    const bool Got = FScan.NextRecord(Fields);
    const size_t P = FScan.Position();
    // A record is whole when its line break was read; at the end of the file, always. A
    // carriage return at the end of the buffer may still have its line feed to come.
    if (Got && (FEnd || P < FBuf.size() || (P > 0 && FBuf[P - 1] == '\n'))) return 1;
    if (FEnd) return FScan.Failed() ? csvOpenQuote : 0;
    Fields.clear();
    FBuf.erase(0, Start);
    FDone += Start;
    // At least as much again as is held, so that a long record is scanned O(1) times.
    size_t Want = std::max(FBlock, FBuf.size());
    // No bigger buffer than the rest of the file needs (one byte more tells its end).
    const uint64_t Size = FFile.Size();
    if (Size > 0 && Size >= FRead && Size - FRead < Want) Want = size_t(Size - FRead) + 1;
    const int64_t Read = FFile.Append(FBuf, Want);
    if (Read < 0) return ascCannotRead;
    FRead += uint64_t(Read);
    if (size_t(Read) < Want) FEnd = true;
    FScan.Reset(FBuf, 0);
  }
}

}  // namespace nux
