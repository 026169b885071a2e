// The OLE data object, its format enumerator, the drop target's effect rules and the checks of
// data dropped by other programs.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/core/dnd/drag_drop.h"
#include "ui/core/dnd/dropped_image.h"

using namespace SkinUI;

namespace {

FORMATETC Format(CLIPFORMAT cf, DWORD tymed) { return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, tymed}; }

HGLOBAL GlobalBytes(const std::vector<BYTE>& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  memcpy(GlobalLock(memory), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  return memory;
}

std::vector<BYTE> GlobalContent(HGLOBAL memory) {
  const BYTE* data = static_cast<const BYTE*>(GlobalLock(memory));
  std::vector<BYTE> bytes(data, data + GlobalSize(memory));
  GlobalUnlock(memory);
  return bytes;
}

// A data object with one reference, released by the scope.
struct DataObject {
  CIDataObject* object;
  DataObject() : object(new CIDataObject(nullptr)) { object->AddRef(); }
  ~DataObject() { object->Release(); }
  CIDataObject* operator->() { return object; }
};

// A packed DIB: the header (stated size), a colour table and pixel rows of the given sizes.
std::vector<BYTE> PackedDib(LONG width, LONG height, WORD bits, DWORD compression, DWORD used, size_t tableBytes,
                            size_t pixelBytes, DWORD headerSize = sizeof(BITMAPINFOHEADER)) {
  std::vector<BYTE> dib(std::max<size_t>(headerSize, sizeof(BITMAPINFOHEADER)) + tableBytes + pixelBytes, 0);
  BITMAPINFOHEADER header = {};
  header.biSize = headerSize;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = compression;
  header.biClrUsed = used;
  memcpy(dib.data(), &header, sizeof(header));
  return dib;
}

}  // namespace

TEST(DataObject, StoresCopiesAndAnswersQueriesByMediumTypeAndFormat) {
  DataObject data;
  FORMATETC dib = Format(CF_DIB, TYMED_HGLOBAL);
  EXPECT_EQ(DV_E_TYMED, data->QueryGetData(&dib));  // nothing stored
  std::vector<BYTE> bytes = {1, 2, 3, 4, 5};
  STGMEDIUM medium = {};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalBytes(bytes);
  ASSERT_EQ(S_OK, data->SetData(&dib, &medium, FALSE));
  EXPECT_EQ(bytes, GlobalContent(medium.hGlobal));  // still the caller's
  GlobalFree(medium.hGlobal);

  STGMEDIUM out = {};
  ASSERT_EQ(S_OK, data->GetData(&dib, &out));
  EXPECT_EQ(bytes, GlobalContent(out.hGlobal));
  ReleaseStgMedium(&out);
  FORMATETC bitmap = Format(CF_BITMAP, TYMED_GDI);
  EXPECT_EQ(DV_E_FORMATETC, data->GetData(&bitmap, &out));
  FORMATETC wrongType = Format(CF_DIB, TYMED_GDI);
  EXPECT_EQ(DV_E_FORMATETC, data->GetData(&wrongType, &out));
  EXPECT_EQ(E_INVALIDARG, data->GetData(nullptr, &out));

  EXPECT_EQ(S_OK, data->QueryGetData(&dib));
  FORMATETC text = Format(CF_UNICODETEXT, TYMED_HGLOBAL);
  EXPECT_EQ(DV_E_CLIPFORMAT, data->QueryGetData(&text));
  EXPECT_EQ(DV_E_TYMED, data->QueryGetData(&bitmap));
  FORMATETC icon = dib;
  icon.dwAspect = DVASPECT_ICON;
  EXPECT_EQ(DV_E_DVASPECT, data->QueryGetData(&icon));
  EXPECT_EQ(E_INVALIDARG, data->QueryGetData(nullptr));

  FORMATETC canonical = {};
  EXPECT_EQ(DATA_S_SAMEFORMATETC, data->GetCanonicalFormatEtc(&dib, &canonical));
  EXPECT_EQ(E_INVALIDARG, data->GetCanonicalFormatEtc(&dib, nullptr));
  EXPECT_EQ(E_NOTIMPL, data->GetDataHere(&dib, &out));
  EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->DAdvise(&dib, 0, nullptr, nullptr));
  EXPECT_EQ(OLE_E_ADVISENOTSUPPORTED, data->EnumDAdvise(nullptr));
  EXPECT_EQ(E_NOTIMPL, data->DUnadvise(0));
  EXPECT_EQ(E_INVALIDARG, data->SetData(&dib, nullptr, TRUE));
  void* other = nullptr;
  EXPECT_EQ(E_NOINTERFACE, data->QueryInterface(IID_IDropTarget, &other));
  EXPECT_EQ(S_OK, data->QueryInterface(IID_IDataObject, &other));
  static_cast<IDataObject*>(other)->Release();
}

TEST(DataObject, SharesStreamsAndReleasesWhatItOwnsWithItsLastReference) {
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
  {
    DataObject data;
    FORMATETC format = Format(CF_UNICODETEXT, TYMED_ISTREAM);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream;
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, FALSE));
    STGMEDIUM out = {};
    ASSERT_EQ(S_OK, data->GetData(&format, &out));
    EXPECT_EQ(stream, out.pstm);
    ReleaseStgMedium(&out);
    EXPECT_EQ(2u, stream->AddRef() - 1);  // the caller's and the data object's
    stream->Release();
  }
  EXPECT_EQ(0u, stream->Release());
}

TEST(DataObject, EnumeratesCopiesOfItsFormats) {
  DataObject data;
  for (FORMATETC format : {Format(CF_BITMAP, TYMED_GDI), Format(CF_ENHMETAFILE, TYMED_ENHMF)}) {
    STGMEDIUM medium = {};
    medium.tymed = format.tymed;
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, TRUE));
  }
  IEnumFORMATETC* formats = nullptr;
  EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));
  EXPECT_EQ(E_POINTER, data->EnumFormatEtc(DATADIR_GET, nullptr));
  ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
  FORMATETC got[3] = {};
  ULONG fetched = 0;
  ASSERT_EQ(S_OK, formats->Next(1, got, nullptr));
  EXPECT_EQ(CF_BITMAP, got[0].cfFormat);
  EXPECT_EQ(S_FALSE, formats->Next(2, got, nullptr));  // more than one needs a count
  EXPECT_EQ(S_FALSE, formats->Next(2, got, &fetched));
  EXPECT_EQ(1u, fetched);
  EXPECT_EQ(CF_ENHMETAFILE, got[0].cfFormat);
  EXPECT_EQ(DWORD(TYMED_ENHMF), got[0].tymed);
  formats->Reset();
  EXPECT_EQ(S_FALSE, formats->Skip(2));
  EXPECT_EQ(S_OK, formats->Skip(1));
  IEnumFORMATETC* clone = nullptr;
  EXPECT_EQ(E_POINTER, formats->Clone(nullptr));
  ASSERT_EQ(S_OK, formats->Clone(&clone));
  ASSERT_EQ(S_OK, clone->Next(1, got, &fetched));
  EXPECT_EQ(CF_ENHMETAFILE, got[0].cfFormat);
  EXPECT_EQ(S_FALSE, clone->Next(1, got, &fetched));
  EXPECT_EQ(0u, fetched);
  clone->Release();
  formats->Release();
}

namespace {

// A drop target that keeps what is dropped.
class KeepingTarget : public CIDropTarget {
 public:
  bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) override {
    dropped.push_back(format->cfFormat);
    ReleaseStgMedium(&medium);
    return false;
  }
  std::vector<CLIPFORMAT> dropped;
};

}  // namespace

TEST(DropTarget, DecidesTheEffectFromKeysAndWhatTheSourceAllows) {
  KeepingTarget target;
  DataObject data;
  FORMATETC dib = Format(CF_DIB, TYMED_HGLOBAL);
  STGMEDIUM medium = {};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalBytes({1, 2, 3});
  ASSERT_EQ(S_OK, data->SetData(&dib, &medium, TRUE));
  // Registration adds the accepted formats; the test adds them as it does.
  for (FORMATETC accepted : {Format(CF_BITMAP, TYMED_GDI), Format(CF_DIB, TYMED_HGLOBAL),
                             Format(CF_HDROP, TYMED_HGLOBAL), Format(CF_ENHMETAFILE, TYMED_ENHMF)}) {
    target.AddSuportedFormat(accepted);
  }
  auto enter = [&](DWORD keys, DWORD allowed) {
    DWORD effect = allowed;
    EXPECT_EQ(S_OK, target.DragEnter(data.object, keys, POINTL{0, 0}, &effect));
    return effect;
  };
  const DWORD copyMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(DWORD(DROPEFFECT_COPY), enter(0, copyMove));
  EXPECT_EQ(DWORD(DROPEFFECT_MOVE), enter(0, DROPEFFECT_MOVE));
  EXPECT_EQ(DWORD(DROPEFFECT_LINK), enter(0, DROPEFFECT_LINK));
  EXPECT_EQ(DWORD(DROPEFFECT_MOVE), enter(MK_SHIFT, copyMove));
  EXPECT_EQ(DWORD(DROPEFFECT_COPY), enter(MK_CONTROL, copyMove));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), enter(MK_CONTROL | MK_SHIFT, copyMove));
  EXPECT_EQ(DWORD(DROPEFFECT_LINK), enter(MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), enter(MK_CONTROL, DROPEFFECT_MOVE));
  DWORD effect = copyMove;
  EXPECT_EQ(E_INVALIDARG, target.DragEnter(nullptr, 0, POINTL{0, 0}, &effect));

  // The dropped medium comes in the first accepted format the data offers.
  enter(0, copyMove);
  effect = copyMove;
  EXPECT_EQ(S_OK, target.Drop(data.object, 0, POINTL{0, 0}, &effect));
  EXPECT_EQ(std::vector<CLIPFORMAT>{CF_DIB}, target.dropped);
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
  // After leaving, nothing is allowed until the next enter.
  target.DragLeave();
  effect = copyMove;
  EXPECT_EQ(S_OK, target.DragOver(0, POINTL{0, 0}, &effect));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);

  // Data without an accepted format is refused.
  DataObject text;
  FORMATETC unicode = Format(CF_UNICODETEXT, TYMED_HGLOBAL);
  medium.hGlobal = GlobalBytes({0, 0});
  ASSERT_EQ(S_OK, text->SetData(&unicode, &medium, TRUE));
  effect = copyMove;
  EXPECT_EQ(S_OK, target.DragEnter(text.object, 0, POINTL{0, 0}, &effect));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
}

TEST(DroppedImage, PackedDibsAreMeasuredAgainstTheirRealSize) {
  // 8 bits, two colours used, 3 by 2 pixels: rows of 4 bytes after 40 + 8 bytes.
  std::vector<BYTE> dib = PackedDib(3, 2, 8, BI_RGB, 2, 8, 8);
  EXPECT_EQ(48u, PackedDibPixelOffset(dib.data(), dib.size()));
  EXPECT_EQ(0u, PackedDibPixelOffset(dib.data(), dib.size() - 1));  // one byte of pixels short
  EXPECT_EQ(0u, PackedDibPixelOffset(dib.data(), 39));              // not even the header
  std::vector<BYTE> many = PackedDib(3, 2, 8, BI_RGB, 300, 8, 8);
  EXPECT_EQ(0u, PackedDibPixelOffset(many.data(), many.size()));  // more colours than 8 bits hold
  std::vector<BYTE> full = PackedDib(3, 2, 8, BI_RGB, 0, 1024, 8);
  EXPECT_EQ(40u + 1024u, PackedDibPixelOffset(full.data(), full.size()));
  std::vector<BYTE> fullShort = PackedDib(3, 2, 8, BI_RGB, 0, 8, 8);
  EXPECT_EQ(0u, PackedDibPixelOffset(fullShort.data(), fullShort.size()));  // the table of 256 is missing

  std::vector<BYTE> topDown = PackedDib(2, -2, 24, BI_RGB, 0, 0, 16);
  EXPECT_EQ(40u, PackedDibPixelOffset(topDown.data(), topDown.size()));
  std::vector<BYTE> masks = PackedDib(2, 2, 32, BI_BITFIELDS, 0, 12, 16);
  EXPECT_EQ(52u, PackedDibPixelOffset(masks.data(), masks.size()));
  std::vector<BYTE> v5 = PackedDib(2, 2, 32, BI_BITFIELDS, 0, 0, 16, sizeof(BITMAPV5HEADER));
  EXPECT_EQ(sizeof(BITMAPV5HEADER), PackedDibPixelOffset(v5.data(), v5.size()));
  std::vector<BYTE> huge = PackedDib(40000, 40000, 32, BI_RGB, 0, 0, 64);
  EXPECT_EQ(0u, PackedDibPixelOffset(huge.data(), huge.size()));
  for (std::vector<BYTE> refused : {PackedDib(2, 2, 8, BI_RLE8, 0, 1024, 64), PackedDib(0, 2, 24, BI_RGB, 0, 0, 16),
                                    PackedDib(2, 2, 7, BI_RGB, 0, 0, 16), PackedDib(2, 2, 24, BI_BITFIELDS, 0, 12, 16),
                                    PackedDib(2, 2, 24, BI_RGB, 0, 0, 16, 20)}) {
    EXPECT_EQ(0u, PackedDibPixelOffset(refused.data(), refused.size()));
  }
  BITMAPINFOHEADER lying = {};
  lying.biSize = 0x7FFFFFF0;  // a header bigger than the data
  EXPECT_EQ(0u, PackedDibPixelOffset(reinterpret_cast<BYTE*>(&lying), sizeof(lying)));

  // The small header: three-byte colour entries.
  std::vector<BYTE> core(12 + 2 * 3 + 8, 0);
  BITMAPCOREHEADER coreHeader = {12, 5, 2, 1, 1};
  memcpy(core.data(), &coreHeader, sizeof(coreHeader));
  EXPECT_EQ(18u, PackedDibPixelOffset(core.data(), core.size()));
  EXPECT_EQ(0u, PackedDibPixelOffset(core.data(), core.size() - 1));
}

TEST(DroppedImage, APackedDibBecomesABitmapOfItsPixels) {
  // 2 by 2, 24 bits, bottom-up: the bottom row blue, blue; the top row red, green.
  std::vector<BYTE> dib = PackedDib(2, 2, 24, BI_RGB, 0, 0, 16);
  const BYTE rows[16] = {255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  memcpy(dib.data() + 40, rows, sizeof(rows));
  HBITMAP bitmap = BitmapFromPackedDib(dib.data(), dib.size());
  ASSERT_NE(nullptr, bitmap);
  HDC screen = GetDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  DWORD pixels[4] = {};
  EXPECT_EQ(2, GetDIBits(screen, bitmap, 0, 2, pixels, &info, DIB_RGB_COLORS));
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  EXPECT_EQ(0xFF0000u, pixels[0] & 0xFFFFFF);
  EXPECT_EQ(0x00FF00u, pixels[1] & 0xFFFFFF);
  EXPECT_EQ(0x0000FFu, pixels[2] & 0xFFFFFF);
  EXPECT_EQ(nullptr, BitmapFromPackedDib(dib.data(), dib.size() - 2));
}

TEST(DroppedImage, FileListsAreReadWithinTheirSize) {
  auto list = [](const std::wstring& names, BOOL wide, DWORD offset = sizeof(DROPFILES)) {
    DROPFILES head = {offset, {0, 0}, FALSE, wide};
    std::vector<BYTE> bytes(sizeof(head));
    memcpy(bytes.data(), &head, sizeof(head));
    if (wide) {
      const BYTE* raw = reinterpret_cast<const BYTE*>(names.c_str());
      bytes.insert(bytes.end(), raw, raw + names.size() * sizeof(wchar_t));
    } else {
      for (wchar_t ch : names) bytes.push_back(static_cast<BYTE>(ch));
    }
    return bytes;
  };
  CUIString path;
  std::vector<BYTE> wide = list(std::wstring(L"C:\\a.bmp\0C:\\b.bmp\0\0", 20), TRUE);
  ASSERT_TRUE(FirstDroppedFile(wide.data(), wide.size(), path));
  EXPECT_STREQ(L"C:\\a.bmp", path.GetData());
  std::vector<BYTE> narrow = list(std::wstring(L"C:\\n.bmp\0\0", 10), FALSE);
  ASSERT_TRUE(FirstDroppedFile(narrow.data(), narrow.size(), path));
  EXPECT_STREQ(L"C:\\n.bmp", path.GetData());
  std::vector<BYTE> unterminated = list(L"C:\\a.bmp", TRUE);
  EXPECT_FALSE(FirstDroppedFile(unterminated.data(), unterminated.size(), path));
  std::vector<BYTE> outside = list(std::wstring(L"C:\\a.bmp\0\0", 10), TRUE, 4000);
  EXPECT_FALSE(FirstDroppedFile(outside.data(), outside.size(), path));
  std::vector<BYTE> empty = list(std::wstring(L"\0\0", 2), TRUE);
  EXPECT_FALSE(FirstDroppedFile(empty.data(), empty.size(), path));
  std::vector<BYTE> tooLong = list(std::wstring(600, L'x') + std::wstring(L"\0\0", 2), TRUE);
  EXPECT_FALSE(FirstDroppedFile(tooLong.data(), tooLong.size(), path));
}
