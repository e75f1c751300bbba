#include "OffscreenPicture.h"

#include "BitmapHelpers.h"

namespace sombrevox {
namespace {

HBITMAP ClientBitmap(HDC like, const RECT& client) {
  if (!like) return nullptr;
  return CreateCompatibleBitmap(like, client.right - client.left, client.bottom - client.top);
}

RECT ClientOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

}  // namespace

OffscreenPicture::OffscreenPicture(HWND window, HBITMAP background)
    : client_(ClientOf(window)),
      windowDc_(window),
      memory_(windowDc_.Get()),
      picture_(memory_ ? ClientBitmap(windowDc_.Get(), client_) : nullptr),
      selected_(memory_.Get(), picture_.Get()) {
  if (!picture_ || !background) return;
  MemoryDc source(windowDc_.Get());
  Selection fromBackground(source.Get(), background);
  BitBlt(memory_.Get(), 0, 0, client_.right - client_.left, client_.bottom - client_.top, source.Get(), 0, 0, SRCCOPY);
}

void OffscreenPicture::Show() const {
  if (!Dc()) return;
  BitBlt(windowDc_.Get(), client_.left, client_.top, client_.right - client_.left, client_.bottom - client_.top,
         memory_.Get(), 0, 0, SRCCOPY);
}

KeyedImage::KeyedImage(HINSTANCE module, int id) : bitmap_(LoadBitmapA(module, MAKEINTRESOURCEA(id))) {
  BITMAP description{};
  if (bitmap_ && GetObjectA(bitmap_.Get(), sizeof description, &description))
    size_ = {description.bmWidth, description.bmHeight};
}

bool KeyedImage::Draw(HDC dc, int x, int y) const {
  if (!bitmap_ || !dc) return false;
  MemoryDc source(dc);
  Selection fromImage(source.Get(), bitmap_.Get());
  const COLORREF key = SetBkColor(dc, kTransparentBlue);
  const int copied = MaskedBlit(dc, x, y, size_.cx, size_.cy, source.Get(), 0, 0);
  SetBkColor(dc, key);
  return copied != 0;
}

}  // namespace sombrevox
