// A process-local clipboard: it holds one item, a text or a picture, until the next item
// replaces it or it is cleared. Nothing leaves the process. The methods lock, so threads may
// share it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "nux/host/picture.h"

namespace nux {

// Kinds of clipboard item: a text or a picture.
enum TClipboardFormat : int32_t { cfText, cfBitmap };

// A clipboard holding one text or one picture; see Clipboard() for the process's own.
class TClipboard {
 public:
  // Drops the item held.
  void Clear();
  // True when the clipboard holds an item of Format.
  bool HasFormat(TClipboardFormat Format) const;

  // Holds a copy of Text, replacing the item held.
  void SetAsText(const std::string& Text);
  // The text held; empty when the clipboard holds no text.
  std::string AsText() const;

  // Copies (or takes) a picture. On EOutOfMemory the clipboard keeps what it held.
  void SetBitmap(const TBitmap& Picture);
  void SetBitmap(TBitmap&& Picture);
  // Copies the picture held into Picture; false, with Picture unchanged, when there is none.
  bool GetBitmap(TBitmap& Picture) const;

 private:
  mutable std::mutex FLock;
  TClipboardFormat FFormat = cfText;
  bool FHasItem = false;
  std::string FText;
  TBitmap FBitmap;
};

// The process's clipboard.
TClipboard& Clipboard();

}  // namespace nux
