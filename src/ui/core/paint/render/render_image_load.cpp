#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#include <stb_image.h>
#pragma GCC diagnostic pop

#include <objidl.h>
#include <gdiplus.h>

#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/resource_table.h"
#include "ui/core/resources/skin_file.h"

namespace SkinUI {

namespace {

struct StbFree {
  void operator()(unsigned char* p) const { stbi_image_free(p); }
};

bool ReadImageBytes(STRINGorID bitmap, const wchar_t* type, HINSTANCE instance, std::vector<BYTE>& bytes) {
  if (type != nullptr && type[0] != L'\0') return ReadSkinResource(instance, bitmap.m_lpstr, type, bytes);
  if (IS_INTRESOURCE(bitmap.m_lpstr)) return false;
  if (ReadSkinFile(bitmap.m_lpstr, 0, bytes) == SkinFileStatus::Ok) return true;
  return ReadWholeFile(bitmap.m_lpstr, 0, bytes) == SkinFileStatus::Ok;
}

}  // namespace

HBITMAP CRenderEngine::CreateDibSection32(HDC hDC, int cx, int cy, LPDWORD* pBits) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biSizeImage = static_cast<DWORD>(cx) * static_cast<DWORD>(cy < 0 ? -cy : cy) * 4;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (pBits != nullptr) *pBits = bitmap != nullptr ? static_cast<LPDWORD>(bits) : nullptr;
  return bitmap;
}

ImageInfo* CRenderEngine::LoadImage(STRINGorID bitmap, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  if (bitmap.m_lpstr == nullptr) return nullptr;
  if ((type == nullptr || type[0] == L'\0') && !IS_INTRESOURCE(bitmap.m_lpstr)) {
    const wchar_t* path = CResourceTableUI::GetInstance()->GetImagePath(bitmap.m_lpstr);
    if (path != nullptr) bitmap = STRINGorID(path);
  }
  std::vector<BYTE> bytes;
  if (!ReadImageBytes(bitmap, type, instance, bytes) || bytes.empty()) return nullptr;
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<unsigned char, StbFree> pixels(
      stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channels, 4));
  if (!pixels) return nullptr;

  LPDWORD bits = nullptr;
  HBITMAP dib = CreateDibSection32(nullptr, width, -height, &bits);
  if (dib == nullptr) return nullptr;
  bool hasAlpha = false;
  const unsigned char* src = pixels.get();
  BYTE* dst = reinterpret_cast<BYTE*>(bits);
  for (int i = 0; i < width * height; ++i, src += 4, dst += 4) {
    BYTE r = src[0], g = src[1], b = src[2], a = src[3];
    dst[3] = a;
    if (a < 255) {
      dst[0] = static_cast<BYTE>(b * a / 255);
      dst[1] = static_cast<BYTE>(g * a / 255);
      dst[2] = static_cast<BYTE>(r * a / 255);
      hasAlpha = true;
    } else {
      dst[0] = b;
      dst[1] = g;
      dst[2] = r;
    }
    DWORD argb = (static_cast<DWORD>(a) << 24) | (static_cast<DWORD>(r) << 16) | (static_cast<DWORD>(g) << 8) | b;
    if (argb == mask) {
      memset(dst, 0, 4);
      hasAlpha = true;
    }
  }
  ImageInfo* info = new ImageInfo();
  info->hBitmap = dib;
  info->pBits = nullptr;
  info->pSrcBits = nullptr;
  info->nX = width;
  info->nY = height;
  info->bAlpha = hasAlpha;
  info->dwMask = mask;
  info->bUseHSL = false;
  return info;
}

ImageInfo* CRenderEngine::LoadImageByName(const wchar_t* name, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  if (name == nullptr) return nullptr;
  return LoadImage(STRINGorID(name), type, mask, instance);
}

ImageInfo* CRenderEngine::LoadImageById(UINT id, const wchar_t* type, DWORD mask, HINSTANCE instance) {
  return LoadImage(STRINGorID(id), type, mask, instance);
}

Gdiplus::GpImage* CRenderEngine::GdiplusLoadImage(const wchar_t* name) {
  if (name == nullptr) return nullptr;
  std::vector<BYTE> bytes;
  if (ReadSkinFile(name, 0, bytes) != SkinFileStatus::Ok && ReadWholeFile(name, 0, bytes) != SkinFileStatus::Ok) {
    return nullptr;
  }
  if (bytes.empty()) return nullptr;
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return nullptr;
  void* data = ::GlobalLock(block);
  if (data == nullptr) {
    ::GlobalFree(block);
    return nullptr;
  }
  memcpy(data, bytes.data(), bytes.size());
  ::GlobalUnlock(block);
  IStream* stream = nullptr;
  // The stream owns the block from here on; the image keeps its own reference to the stream.
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
    ::GlobalFree(block);
    return nullptr;
  }
  Gdiplus::GpImage* image = nullptr;
  Gdiplus::GpStatus status = Gdiplus::DllExports::GdipLoadImageFromStream(stream, &image);
  stream->Release();
  // A failed load's out value is not an image to dispose of (Wine's GDI+ may leave a freed one).
  return status == Gdiplus::Ok ? image : nullptr;
}

void CRenderEngine::FreeImage(ImageInfo* bitmap, bool bDelete) {
  if (bitmap == nullptr) return;
  if (bitmap->hBitmap != nullptr) ::DeleteObject(bitmap->hBitmap);
  bitmap->hBitmap = nullptr;
  delete[] bitmap->pBits;
  delete[] bitmap->pSrcBits;
  bitmap->pBits = nullptr;
  bitmap->pSrcBits = nullptr;
  if (bDelete) delete bitmap;
}

}  // namespace SkinUI
