#include "strip_image.h"

#include "demo_window.h"
#include "test_support.h"

namespace skinui_test {

std::wstring WriteStripImage(const std::wstring& tag, int frameWidth, int height, const std::vector<DWORD>& colours) {
  const int width = frameWidth * static_cast<int>(colours.size());
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = static_cast<DWORD>(stride * height);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  std::vector<BYTE> bytes(file.bfSize, 0);
  memcpy(bytes.data(), &file, sizeof(file));
  memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
  for (int y = 0; y < height; ++y) {
    BYTE* row = bytes.data() + file.bfOffBits + y * stride;
    for (int x = 0; x < width; ++x) {
      DWORD rgb = colours[static_cast<size_t>(x / frameWidth)];
      row[x * 3] = static_cast<BYTE>(rgb & 0xFF);
      row[x * 3 + 1] = static_cast<BYTE>((rgb >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<BYTE>((rgb >> 16) & 0xFF);
    }
  }
  std::wstring path = MakeTempDir(tag) + L"strip.bmp";
  WriteFileBytes(path, bytes.data(), bytes.size());
  return path;
}

int CountColour(DemoWindow& window, const RECT& rc, DWORD rgb) {
  int count = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) count += window.Pixel(x, y) == rgb ? 1 : 0;
  }
  return count;
}

}  // namespace skinui_test
