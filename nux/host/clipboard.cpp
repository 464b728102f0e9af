#include "nux/host/clipboard.h"

#include <utility>

namespace nux {

void TClipboard::Clear() {
  std::lock_guard<std::mutex> Lock(FLock);
  FHasItem = false;
  FText.clear();
  FBitmap.SetSize(0, 0);
}

bool TClipboard::HasFormat(TClipboardFormat Format) const {
  std::lock_guard<std::mutex> Lock(FLock);
  return FHasItem && FFormat == Format;
}

void TClipboard::SetAsText(const std::string& Text) {
  std::string Copy = Text;
  std::lock_guard<std::mutex> Lock(FLock);
  FText.swap(Copy);
  FBitmap.SetSize(0, 0);
  FFormat = cfText;
  FHasItem = true;
}

std::string TClipboard::AsText() const {
  std::lock_guard<std::mutex> Lock(FLock);
  return FHasItem && FFormat == cfText ? FText : std::string();
}

void TClipboard::SetBitmap(const TBitmap& Picture) {
  TBitmap Copy;
  Copy.Assign(&Picture);  // may raise before anything changes
  SetBitmap(std::move(Copy));
}

void TClipboard::SetBitmap(TBitmap&& Picture) {
  std::lock_guard<std::mutex> Lock(FLock);
  std::swap(FBitmap, Picture);
  FText.clear();
  FFormat = cfBitmap;
  FHasItem = true;
}

bool TClipboard::GetBitmap(TBitmap& Picture) const {
  std::lock_guard<std::mutex> Lock(FLock);
  if (!FHasItem || FFormat != cfBitmap) return false;
  Picture.Assign(&FBitmap);
  return true;
}

TClipboard& Clipboard() {
  static TClipboard Instance;
  return Instance;
}

}  // namespace nux
