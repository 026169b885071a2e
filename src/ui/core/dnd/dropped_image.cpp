#include "ui/core/dnd/dropped_image.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "ui/core/base/gdi_handles.h"

namespace SkinUI {

namespace {

const DWORD kCoreHeaderSize = 12;
const DWORD kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
const LONG kMaxDroppedSide = 16384;
const size_t kMaxDroppedPath = 519;

template <class T>
T ReadAt(const BYTE* data, size_t offset) {
  T value;
  memcpy(&value, data + offset, sizeof(T));
  return value;
}

// The parts of either header that decide the layout.
struct DibShape {
  DWORD headerSize;
  long long width;
  long long height;
  WORD planes;
  WORD bitCount;
  DWORD compression;
  DWORD colorsUsed;
};

bool ReadShape(const BYTE* data, size_t size, DibShape& shape) {
  if (data == nullptr || size < sizeof(DWORD)) return false;
  shape.headerSize = ReadAt<DWORD>(data, 0);
  if (shape.headerSize > size) return false;
  if (shape.headerSize == kCoreHeaderSize) {
    BITMAPCOREHEADER core = ReadAt<BITMAPCOREHEADER>(data, 0);
    shape = DibShape{kCoreHeaderSize, core.bcWidth, core.bcHeight, core.bcPlanes, core.bcBitCount, BI_RGB, 0};
    return true;
  }
  if (shape.headerSize < kInfoHeaderSize) return false;
  BITMAPINFOHEADER info = ReadAt<BITMAPINFOHEADER>(data, 0);
  shape.width = info.biWidth;
  shape.height = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
  shape.planes = info.biPlanes;
  shape.bitCount = info.biBitCount;
  shape.compression = info.biCompression;
  shape.colorsUsed = info.biClrUsed;
  return true;
}

}  // namespace

size_t PackedDibPixelOffset(const BYTE* data, size_t size) {
  DibShape shape = {};
  if (!ReadShape(data, size, shape)) return 0;
  if (shape.planes != 1 || shape.width <= 0 || shape.height <= 0) return 0;
  if (shape.width > kMaxDroppedSide || shape.height > kMaxDroppedSide) return 0;
  const WORD bits = shape.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return 0;
  // Compressed pixels have no size to check before decoding: refused.
  unsigned long long masks = 0;
  if (shape.compression == BI_BITFIELDS) {
    if (bits != 16 && bits != 32) return 0;
    if (shape.headerSize == kInfoHeaderSize) masks = 3 * sizeof(DWORD);  // larger headers hold them
  } else if (shape.compression != BI_RGB) {
    return 0;
  }
  unsigned long long colors = shape.colorsUsed;
  if (bits <= 8) {
    const unsigned long long full = 1ull << bits;
    if (colors > full) return 0;
    if (colors == 0) colors = full;
  }
  const unsigned long long entry = shape.headerSize == kCoreHeaderSize ? sizeof(RGBTRIPLE) : sizeof(RGBQUAD);
  const unsigned long long offset = shape.headerSize + masks + colors * entry;
  const unsigned long long stride = ((static_cast<unsigned long long>(shape.width) * bits + 31) / 32) * 4;
  const unsigned long long image = stride * static_cast<unsigned long long>(shape.height);
  if (offset + image > size) return 0;
  return static_cast<size_t>(offset);
}

HBITMAP BitmapFromPackedDib(const BYTE* data, size_t size) {
  const size_t pixels = PackedDibPixelOffset(data, size);
  if (pixels == 0) return nullptr;
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  HBITMAP bitmap = ::CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER*>(data), CBM_INIT, data + pixels,
                                    reinterpret_cast<const BITMAPINFO*>(data), DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

HBITMAP BitmapFromDibMemory(HGLOBAL hDib) {
  if (hDib == nullptr) return nullptr;
  const BYTE* data = static_cast<const BYTE*>(::GlobalLock(hDib));
  if (data == nullptr) return nullptr;
  HBITMAP bitmap = BitmapFromPackedDib(data, ::GlobalSize(hDib));
  ::GlobalUnlock(hDib);
  return bitmap;
}

bool FirstDroppedFile(const BYTE* data, size_t size, CUIString& path) {
  if (data == nullptr || size < sizeof(DROPFILES)) return false;
  const DROPFILES head = ReadAt<DROPFILES>(data, 0);
  if (head.pFiles < sizeof(DROPFILES) || head.pFiles >= size) return false;
  std::wstring name;
  if (head.fWide) {
    for (size_t at = head.pFiles; at + sizeof(wchar_t) <= size; at += sizeof(wchar_t)) {
      const wchar_t ch = ReadAt<wchar_t>(data, at);
      if (ch == L'\0') {
        if (name.empty() || name.size() > kMaxDroppedPath) return false;
        path = name.c_str();
        return true;
      }
      name += ch;
    }
    return false;
  }
  const char* first = reinterpret_cast<const char*>(data + head.pFiles);
  const void* end = memchr(first, '\0', size - head.pFiles);
  if (end == nullptr || end == first) return false;
  const int length = static_cast<int>(static_cast<const char*>(end) - first);
  name.resize(static_cast<size_t>(length));
  name.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, first, length, &name[0], length)));
  if (name.empty() || name.size() > kMaxDroppedPath) return false;
  path = name.c_str();
  return true;
}

bool FirstDroppedFile(HGLOBAL hDrop, CUIString& path) {
  if (hDrop == nullptr) return false;
  const BYTE* data = static_cast<const BYTE*>(::GlobalLock(hDrop));
  if (data == nullptr) return false;
  const bool found = FirstDroppedFile(data, ::GlobalSize(hDrop), path);
  ::GlobalUnlock(hDrop);
  return found;
}

HBITMAP BitmapFromBitmapFile(const wchar_t* path) {
  return static_cast<HBITMAP>(::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
}

HBITMAP BitmapFromEnhMetaFile(HENHMETAFILE hEmf) {
  ENHMETAHEADER header = {};
  if (hEmf == nullptr || ::GetEnhMetaFileHeader(hEmf, sizeof(header), &header) == 0) return nullptr;
  const LONG width = header.rclBounds.right, height = header.rclBounds.bottom;
  if (width <= 0 || height <= 0 || width > kMaxDroppedSide || height > kMaxDroppedSide) return nullptr;
  HDC screen = ::GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  const int horzSize = ::GetDeviceCaps(screen, HORZSIZE), vertSize = ::GetDeviceCaps(screen, VERTSIZE);
  const int horzRes = ::GetDeviceCaps(screen, HORZRES), vertRes = ::GetDeviceCaps(screen, VERTRES);
  GdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen, width, height));
  MemoryDC memory(screen);
  ::ReleaseDC(nullptr, screen);
  if (bitmap.get() == nullptr || memory.get() == nullptr || horzSize <= 0 || vertSize <= 0) return nullptr;
  // The frame is in hundredths of a millimetre.
  RECT frame = {
      MulDiv(header.rclFrame.left, horzRes, horzSize * 100), MulDiv(header.rclFrame.top, vertRes, vertSize * 100),
      MulDiv(header.rclFrame.right, horzRes, horzSize * 100), MulDiv(header.rclFrame.bottom, vertRes, vertSize * 100)};
  {
    SelectGuard select(memory.get(), bitmap.get());
    ::PlayEnhMetaFile(memory.get(), hEmf, &frame);
  }
  return bitmap.release();
}

}  // namespace SkinUI
