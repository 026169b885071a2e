// Real OLE drags under the platform's DoDragDrop: files and pictures dropped onto framework
// windows by a source of the test's own, and controls dragged out of framework windows by the
// real mouse (input sent to the system while a helper thread moves and releases it).
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "periphery_support.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/controls/button.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/render/render_engine.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

struct OleScope {
  HRESULT hr = OleInitialize(nullptr);
  ~OleScope() {
    if (SUCCEEDED(hr)) OleUninitialize();
  }
};

// Pixels of a bitmap, top row first, as 0xRRGGBB.
struct Pixels {
  int width = 0, height = 0;
  std::vector<DWORD> rgb;
  DWORD At(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)] & 0xFFFFFF; }
};

Pixels ReadBitmap(HBITMAP bitmap) {
  Pixels out;
  BITMAP bm = {};
  if (GetObjectW(bitmap, sizeof(bm), &bm) == 0) return out;
  out.width = bm.bmWidth;
  out.height = bm.bmHeight;
  out.rgb.resize(static_cast<size_t>(out.width * out.height));
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), out.width, -out.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(out.height), out.rgb.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return out;
}

// What the framework window gets from a drop: the pictures (kept here, as a static control keeps
// the one it shows) and the button releases.
struct DropSink : IMessageFilterUI {
  std::vector<HBITMAP> images;
  std::vector<POINT> releases;
  ~DropSink() override {
    for (HBITMAP image : images) DeleteObject(image);
  }
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override {
    if (msg == STM_SETIMAGE && wParam == IMAGE_BITMAP) {
      images.push_back(reinterpret_cast<HBITMAP>(lParam));
      handled = true;
    } else if (msg == STM_GETIMAGE && wParam == IMAGE_BITMAP && !images.empty()) {
      handled = true;
      return reinterpret_cast<LRESULT>(images.back());
    } else if (msg == WM_LBUTTONUP) {
      releases.push_back(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    return 0;
  }
};

// Data of "another program": HGLOBAL items; every query and fetch is noted.
class OfferedData : public IDataObject {
 public:
  void Offer(CLIPFORMAT format, const std::vector<BYTE>& bytes) { m_items.push_back({format, bytes}); }
  std::vector<CLIPFORMAT> queried, fetched;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = (riid == IID_IUnknown || riid == IID_IDataObject) ? this : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    fetched.push_back(format->cfFormat);
    const Item* item = Find(format);
    if (item == nullptr) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, item->bytes.size());
    memcpy(GlobalLock(memory), item->bytes.data(), item->bytes.size());
    GlobalUnlock(memory);
    *medium = STGMEDIUM{};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    queried.push_back(format->cfFormat);
    return Find(format) != nullptr ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  struct Item {
    CLIPFORMAT format;
    std::vector<BYTE> bytes;
  };
  const Item* Find(const FORMATETC* format) const {
    if ((format->tymed & TYMED_HGLOBAL) == 0) return nullptr;
    for (const Item& item : m_items) {
      if (item.format == format->cfFormat) return &item;
    }
    return nullptr;
  }
  std::vector<Item> m_items;
};

// Holds the cursor over the target for a few rounds of the drag loop, then drops.
class HoveringSource : public IDropSource {
 public:
  explicit HoveringSource(POINT screen) : m_screen(screen) {}
  std::vector<DWORD> feedback;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = (riid == IID_IUnknown || riid == IID_IDropSource) ? this : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
    SetCursorPos(m_screen.x, m_screen.y);
    return ++m_rounds < 4 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    feedback.push_back(effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  POINT m_screen;
  int m_rounds = 0;
};

std::vector<BYTE> FileList(const std::wstring& path) {
  DROPFILES head = {sizeof(DROPFILES), {0, 0}, FALSE, TRUE};
  std::vector<BYTE> bytes(sizeof(head));
  memcpy(bytes.data(), &head, sizeof(head));
  std::wstring names = path + L'\0' + L'\0';
  const BYTE* raw = reinterpret_cast<const BYTE*>(names.data());
  bytes.insert(bytes.end(), raw, raw + names.size() * sizeof(wchar_t));
  return bytes;
}

// A 24-bit BMP file of 6 by 4 pixels: the top two rows red, the bottom two blue.
std::vector<BYTE> BitmapFile() {
  const int width = 6, height = 4, stride = 20;
  std::vector<BYTE> file(14 + 40 + stride * height, 0);
  BITMAPFILEHEADER fileHeader = {0x4D42, static_cast<DWORD>(file.size()), 0, 0, 54};
  BITMAPINFOHEADER info = {40, width, height, 1, 24, BI_RGB, 0, 2835, 2835, 0, 0};
  memcpy(file.data(), &fileHeader, 14);
  memcpy(file.data() + 14, &info, 40);
  for (int row = 0; row < height; ++row) {  // bottom-up
    for (int x = 0; x < width; ++x) {
      BYTE* px = file.data() + 54 + row * stride + x * 3;
      if (row < 2)
        px[0] = 255;  // blue
      else
        px[2] = 255;  // red
    }
  }
  return file;
}

// The framework window a test drops onto, with its drop sink.
struct DropScene {
  OleScope ole;
  TestWindow window{200, 150};
  DropSink sink;
  DropScene() {
    auto* root = new CControlUI;
    root->SetBkColor(0xFFFFFFFF);
    window.Attach(root);
    window.manager().AddMessageFilter(&sink);
    window.PaintNow();
  }
  ~DropScene() { window.manager().RemoveMessageFilter(&sink); }
  POINT Screen(POINT client) {
    ClientToScreen(window.hwnd(), &client);
    return client;
  }
  HRESULT Drop(IDataObject* data, POINT client, DWORD allowed, DWORD* effect) {
    source.reset(new HoveringSource(Screen(client)));
    SetCursorPos(Screen(client).x, Screen(client).y);
    return DoDragDrop(data, source.get(), allowed, effect);
  }
  std::unique_ptr<HoveringSource> source;  // of the last drop
};

}  // namespace

TEST(OleDragDrop, AFileDroppedFromAnotherSourceReachesTheWindowAsItsBitmap) {
  DropScene s;
  ASSERT_EQ(S_OK, s.ole.hr);
  ASSERT_TRUE(s.window.manager().IsDropTargetRegistered());
  std::wstring dir = MakeTempDir(L"drop");
  std::vector<BYTE> bmp = BitmapFile();
  WriteFileBytes(dir + L"picture.bmp", bmp.data(), bmp.size());
  WriteFileBytes(dir + L"notes.txt", "not a picture", 13);

  OfferedData file;
  file.Offer(CF_HDROP, FileList(dir + L"picture.bmp"));
  DWORD effect = 0;
  EXPECT_EQ(DRAGDROP_S_DROP, s.Drop(&file, POINT{60, 50}, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect));
  // The target asked for its formats in order, took the file list, and offered a copy.
  ASSERT_GE(file.queried.size(), 3u);
  EXPECT_EQ((std::vector<CLIPFORMAT>{CF_BITMAP, CF_DIB, CF_HDROP}),
            std::vector<CLIPFORMAT>(file.queried.begin(), file.queried.begin() + 3));
  EXPECT_EQ(std::vector<CLIPFORMAT>{CF_HDROP}, file.fetched);
  ASSERT_FALSE(s.source->feedback.empty());
  EXPECT_EQ(DWORD(DROPEFFECT_COPY), s.source->feedback.back());
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);  // the target keeps the data: the source keeps its file

  ASSERT_EQ(1u, s.sink.images.size());
  Pixels picture = ReadBitmap(s.sink.images[0]);
  ASSERT_EQ(6, picture.width);
  ASSERT_EQ(4, picture.height);
  EXPECT_EQ(0xFF0000u, picture.At(0, 0));
  EXPECT_EQ(0x0000FFu, picture.At(5, 3));
  // The release comes at the drop point, in client coordinates.
  ASSERT_EQ(1u, s.sink.releases.size());
  EXPECT_EQ(60, s.sink.releases[0].x);
  EXPECT_EQ(50, s.sink.releases[0].y);

  OfferedData text;
  text.Offer(CF_HDROP, FileList(dir + L"notes.txt"));
  EXPECT_EQ(DRAGDROP_S_DROP, s.Drop(&text, POINT{30, 20}, DROPEFFECT_COPY, &effect));
  EXPECT_EQ(1u, s.sink.images.size());  // not a bitmap: nothing shown
  EXPECT_EQ(2u, s.sink.releases.size());

  OfferedData unknown;
  unknown.Offer(CF_UNICODETEXT, {'h', 0, 0, 0});
  EXPECT_TRUE(SUCCEEDED(s.Drop(&unknown, POINT{30, 20}, DROPEFFECT_COPY, &effect)));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), s.source->feedback.back());
  EXPECT_TRUE(unknown.fetched.empty());
  EXPECT_EQ(2u, s.sink.releases.size());  // refused: no drop reached the window
}

TEST(OleDragDrop, BitmapDataFromAnotherProgramIsCheckedAgainstItsRealSize) {
  DropScene s;
  ASSERT_EQ(S_OK, s.ole.hr);
  // 4 by 2 pixels at 8 bits with two colours: index 1 (green) on top, index 0 (red) below.
  auto dib = [](LONG width, LONG height, DWORD used, size_t pixelBytes) {
    BITMAPINFOHEADER header = {40, width, height, 1, 8, BI_RGB, 0, 0, 0, used, 0};
    std::vector<BYTE> bytes(40 + 8 + pixelBytes, 0);
    memcpy(bytes.data(), &header, 40);
    const RGBQUAD table[2] = {{0, 0, 255, 0}, {0, 255, 0, 0}};
    memcpy(bytes.data() + 40, table, sizeof(table));
    for (size_t i = 0; i < pixelBytes; ++i) bytes[48 + i] = i >= 4 ? 1 : 0;
    return bytes;
  };
  OfferedData good;
  good.Offer(CF_DIB, dib(4, 2, 2, 8));
  DWORD effect = 0;
  EXPECT_EQ(DRAGDROP_S_DROP, s.Drop(&good, POINT{40, 40}, DROPEFFECT_COPY, &effect));
  EXPECT_EQ(std::vector<CLIPFORMAT>{CF_DIB}, good.fetched);
  ASSERT_EQ(1u, s.sink.images.size());
  Pixels picture = ReadBitmap(s.sink.images[0]);
  ASSERT_EQ(4, picture.width);
  EXPECT_EQ(0x00FF00u, picture.At(0, 0));
  EXPECT_EQ(0xFF0000u, picture.At(3, 1));

  // Headers that promise more than the memory holds are refused, the release still comes.
  std::vector<BYTE> bigImage = dib(4000, 3000, 2, 8);
  std::vector<BYTE> manyColours = dib(4, 2, 5000, 8);
  std::vector<BYTE> bigHeader = dib(4, 2, 2, 8);
  bigHeader[0] = 0xF0;
  bigHeader[1] = 0xFF;
  for (const std::vector<BYTE>* lying : {&bigImage, &manyColours, &bigHeader}) {
    OfferedData data;
    data.Offer(CF_DIB, *lying);
    EXPECT_EQ(DRAGDROP_S_DROP, s.Drop(&data, POINT{40, 40}, DROPEFFECT_COPY, &effect));
    EXPECT_EQ(std::vector<CLIPFORMAT>{CF_DIB}, data.fetched);
  }
  EXPECT_EQ(1u, s.sink.images.size());
  EXPECT_EQ(4u, s.sink.releases.size());
}

namespace {

// Mouse input as the system gets it from a device, at screen points.
void SendMouse(DWORD flags, POINT screen) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (screen.x * 65536 + width - 1) / width;
  input.mi.dy = (screen.y * 65536 + height - 1) / height;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

// Presses the left button at `from` and lets a helper thread carry the mouse along `path` and
// release it at the end, while the window's own messages run the drag.
class MouseDrag {
 public:
  MouseDrag(POINT from, std::vector<POINT> path) : m_path(std::move(path)) {
    SendMouse(0, from);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    m_helper = std::thread([this] {
      Sleep(150);
      for (POINT at : m_path) {
        SendMouse(0, at);
        Sleep(120);
      }
      Sleep(150);
      SendMouse(MOUSEEVENTF_LEFTUP, m_path.back());
      m_released = true;
      // A drag that missed the release would never end: Escape cancels it, the test fails.
      for (int i = 0; i < 150 && !m_finished; ++i) Sleep(20);
      if (!m_finished) PressEscape();
    });
  }
  ~MouseDrag() {
    m_finished = true;
    if (m_helper.joinable()) m_helper.join();
  }
  bool Released() const { return m_released; }

 private:
  static void PressEscape() {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
  }

  std::vector<POINT> m_path;
  std::thread m_helper;
  std::atomic<bool> m_released{false};
  std::atomic<bool> m_finished{false};
};

// A control painted red in its upper half and blue in its lower half.
class TwoToneUI : public CControlUI {
 public:
  void PaintBkColor(HDC hDC) override {
    RECT upper = m_rcItem, lower = m_rcItem;
    upper.bottom = lower.top = (m_rcItem.top + m_rcItem.bottom) / 2;
    CRenderEngine::DrawColor(hDC, upper, 0xFFFF0000);
    CRenderEngine::DrawColor(hDC, lower, 0xFF0000FF);
  }
};

// A plain window of another kind that notes what a drop brings.
class RecordingTarget : public IDropTarget {
 public:
  std::vector<std::pair<CLIPFORMAT, DWORD>> offered;
  DWORD allowed = 0;
  HBITMAP bitmap = nullptr;
  RECTL metafileBounds = {0, 0, 0, 0};
  bool dropped = false;
  ~RecordingTarget() {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    *out = (riid == IID_IUnknown || riid == IID_IDropTarget) ? this : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    allowed = *effect;
    IEnumFORMATETC* formats = nullptr;
    if (offered.empty() && SUCCEEDED(data->EnumFormatEtc(DATADIR_GET, &formats))) {
      FORMATETC format = {};
      while (formats->Next(1, &format, nullptr) == S_OK) offered.emplace_back(format.cfFormat, format.tymed);
      formats->Release();
    }
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC bitmapFormat = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium = {};
    if (data->GetData(&bitmapFormat, &medium) == S_OK) bitmap = medium.hBitmap;
    FORMATETC metafileFormat = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    if (data->GetData(&metafileFormat, &medium) == S_OK) {
      ENHMETAHEADER header = {};
      GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof(header), &header);
      metafileBounds = header.rclBounds;
      ReleaseStgMedium(&medium);
    }
    dropped = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

HWND PlainWindow(int x, int y, int width, int height) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"SkinUIPlainDropWindow";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"plain", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                            wc.hInstance, nullptr);
  SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return hwnd;
}

// The window at origin on the screen, holding a draggable two-tone box at (40, 30)-(120, 90) on
// white, painted.
CControlUI* ShowDraggableTwoTone(TestWindow& window, POINT origin) {
  SetWindowPos(window.hwnd(), HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE);
  auto* root = new CContainerUI;
  root->SetBkColor(0xFFFFFFFF);
  auto* box = new TwoToneUI;
  box->SetAttribute(L"float", L"true");
  box->SetAttribute(L"pos", L"40,30,120,90");
  box->SetAttribute(L"drag", L"true");
  root->Add(box);
  window.Attach(root);
  window.PaintNow();
  return box;
}

}  // namespace

TEST(OleDragDrop, ADraggableControlIsDraggedOutByTheMouseAsItsPicture) {
  OleScope ole;
  ASSERT_EQ(S_OK, ole.hr);
  TestWindow window(300, 200);
  CControlUI* box = ShowDraggableTwoTone(window, POINT{100, 100});
  ASSERT_EQ("(40,30,120,90)", RectText(box->GetPos()));

  HWND plain = PlainWindow(600, 100, 200, 200);
  RecordingTarget target;
  ASSERT_EQ(S_OK, RegisterDragDrop(plain, &target));
  {
    MouseDrag drag(POINT{100 + 80, 100 + 60},
                   {POINT{100 + 95, 100 + 62}, POINT{400, 180}, POINT{690, 190}, POINT{700, 200}});
    window.PumpUntil([&] { return target.dropped && drag.Released(); }, 300);
  }
  RevokeDragDrop(plain);
  DestroyWindow(plain);
  ASSERT_TRUE(target.dropped);
  // Offered as a bitmap and as a metafile, for copy or move.
  EXPECT_EQ((std::vector<std::pair<CLIPFORMAT, DWORD>>{{CF_BITMAP, TYMED_GDI}, {CF_ENHMETAFILE, TYMED_ENHMF}}),
            target.offered);
  EXPECT_EQ(DWORD(DROPEFFECT_COPY | DROPEFFECT_MOVE), target.allowed);
  ASSERT_NE(nullptr, target.bitmap);
  Pixels picture = ReadBitmap(target.bitmap);
  ASSERT_EQ(80, picture.width);
  ASSERT_EQ(60, picture.height);
  EXPECT_EQ(0xFF0000u, picture.At(40, 5));
  EXPECT_EQ(0x0000FFu, picture.At(40, 55));
  EXPECT_EQ(79, target.metafileBounds.right);
  EXPECT_EQ(59, target.metafileBounds.bottom);
  window.Pump();
  EXPECT_FALSE(window.manager().IsCaptured());
}

TEST(OleDragDrop, ADropOntoItsOwnWindowReleasesAtTheClientPointWithoutAClick) {
  OleScope ole;
  ASSERT_EQ(S_OK, ole.hr);
  TestWindow window(400, 300);
  const POINT origin = {150, 100};
  SetWindowPos(window.hwnd(), HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE);
  auto* root = new CContainerUI;
  root->SetBkColor(0xFFFFFFFF);
  auto* button = new CButtonUI;
  button->SetName(L"BtnDrag");
  button->SetBkColor(0xFF30A050);
  button->SetAttribute(L"float", L"true");
  button->SetAttribute(L"pos", L"190,120,260,170");
  button->SetAttribute(L"drag", L"true");
  root->Add(button);
  window.Attach(root);
  DropSink sink;
  NotifyLog notes;
  window.manager().AddMessageFilter(&sink);
  window.manager().AddNotifier(&notes);
  window.PaintNow();

  // The drop point in screen coordinates, read as a client point, lies on the button: a release
  // there would click it.
  const POINT drop = {60, 40};
  const POINT dropOnScreen = {origin.x + drop.x, origin.y + drop.y};
  RECT rc = button->GetPos();
  ASSERT_TRUE(PtInRect(&rc, dropOnScreen));
  {
    MouseDrag drag(POINT{origin.x + 225, origin.y + 145},
                   {POINT{origin.x + 240, origin.y + 150}, POINT{origin.x + 120, origin.y + 90}, dropOnScreen});
    window.PumpUntil([&] { return !sink.releases.empty() && drag.Released(); }, 300);
  }
  window.Pump();
  window.manager().RemoveMessageFilter(&sink);
  window.manager().RemoveNotifier(&notes);
  ASSERT_FALSE(sink.releases.empty());
  EXPECT_EQ(drop.x, sink.releases[0].x);
  EXPECT_EQ(drop.y, sink.releases[0].y);
  EXPECT_EQ(0, notes.Count(L"click"));
  EXPECT_EQ(0u, button->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
  // The window got the button's picture.
  ASSERT_EQ(1u, sink.images.size());
  Pixels picture = ReadBitmap(sink.images[0]);
  EXPECT_EQ(70, picture.width);
  EXPECT_EQ(50, picture.height);
  EXPECT_EQ(0x30A050u, picture.At(35, 25));
}

// The framework's own windows keep no dropped picture: each one dropped is freed, not left behind.
TEST(OleDragDrop, APictureDroppedOnAWindowThatKeepsNoneIsFreed) {
  OleScope ole;
  ASSERT_EQ(S_OK, ole.hr);
  TestWindow window(300, 200);
  const POINT origin = {150, 100};
  ShowDraggableTwoTone(window, origin);
  auto dragOntoItself = [&] {
    MouseDrag drag(POINT{origin.x + 80, origin.y + 60},
                   {POINT{origin.x + 95, origin.y + 62}, POINT{origin.x + 200, origin.y + 150}});
    window.PumpUntil([&] { return drag.Released(); }, 300);
    window.Pump();
  };
  dragOntoItself();  // the pressed control's picture stays until the next press
  const int bitmaps = CountGdiObjects(OBJ_BITMAP);
  for (int i = 0; i < 3; ++i) dragOntoItself();
  EXPECT_EQ(bitmaps, CountGdiObjects(OBJ_BITMAP));
}
