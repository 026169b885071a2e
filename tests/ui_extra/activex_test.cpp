// The ActiveX host in real framework windows: the platform's web browser windowed, the script
// control invisible, and the windowless test controls of fixtures/activex drawn and fed by the host.
#include <string>

#include "fixtures/activex/windowless_control.h"
#include "ole_test.h"
#include "test_support.h"
#include "ui/core/paint/control/container.h"

using namespace SkinUI;
using Microsoft::WRL::ComPtr;
using skinui_test::DemoWindow;
namespace fx = windowless_fixture;

namespace {

std::wstring FixtureDll() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dll = path;
  return dll.substr(0, dll.rfind(L'\\') + 1) + L"libactivex_fixture.dll";
}

fx::Log* FixtureLog() {
  HMODULE dll = LoadLibraryW(FixtureDll().c_str());
  auto get = reinterpret_cast<fx::FixtureLogFn>(reinterpret_cast<void*>(GetProcAddress(dll, "FixtureLog")));
  return get != nullptr ? get() : nullptr;
}

// A window of test controls from the fixture DLL, each 60 high, named by its class text.
std::wstring Skin(std::initializer_list<const wchar_t*> clsids, const wchar_t* more = L"") {
  std::wstring skin = L"<Window size=\"300,240\"><VerticalLayout bkcolor=\"#FFFFFFFF\">";
  for (const wchar_t* clsid : clsids) {
    skin += L"<ActiveX name=\"" + std::wstring(clsid) + L"\" height=\"60\" modulename=\"" + FixtureDll() +
            L"\" clsid=\"" + clsid + L"\" />";
  }
  return skin + more + L"</VerticalLayout></Window>";
}

RECT RectIn(HWND parent, HWND child) {
  RECT rc;
  CPaintManagerUI::GetChildWndRect(parent, child, rc);
  return rc;
}

CActiveXUI* ActiveX(DemoWindow& window, const wchar_t* name) {
  return static_cast<CActiveXUI*>(window.Find(name)->GetInterface(L"ActiveX"));
}

IOleClientSite* SiteOf(CActiveXUI* control) {
  ComPtr<IOleObject> object;
  IOleClientSite* site = nullptr;
  if (SUCCEEDED(control->GetControl(IID_IOleObject, &object))) object->GetClientSite(&site);
  return site;
}

void Remove(DemoWindow& window, CControlUI* control) {
  static_cast<CContainerUI*>(window.GetPaintManager().GetRoot())->Remove(control);
  window.Pump();
}

}  // namespace

class ActiveXHost : public OleTest {};

TEST_F(ActiveXHost, BrowserByProgIdOrClsidTextActivatesInItsChildWindowAndFollowsTheControl) {
  DemoWindow window(
      L"<Window size=\"300,240\"><VerticalLayout>"
      L"<ActiveX name=\"byid\" clsid=\"Shell.Explorer.2\" height=\"100\" />"
      L"<ActiveX name=\"bytext\" clsid=\"{8856F961-340A-11D0-A96B-00C04FD705A2}\" /></VerticalLayout>"
      L"</Window>");
  ASSERT_NE(nullptr, window.Open(30, 30));
  EXPECT_EQ(2, window.Count(L"showactivex"));
  CActiveXUI* controls[2] = {ActiveX(window, L"byid"), ActiveX(window, L"bytext")};
  HWND embedding[2] = {};
  for (int i = 0; i < 2; ++i) {
    ComPtr<IOleInPlaceObject> object;
    ASSERT_EQ(S_OK, controls[i]->GetControl(IID_IOleInPlaceObject, &object));
    object->GetWindow(&embedding[i]);
    wchar_t name[64] = {}, parentName[64] = {};
    GetClassNameW(embedding[i], name, 64);
    GetClassNameW(GetParent(embedding[i]), parentName, 64);
    EXPECT_STREQ(L"Shell Embedding", name);
    EXPECT_STREQ(L"ActiveXWnd", parentName);
    RECT placed = RectIn(window.GetHWND(), GetParent(embedding[i]));
    EXPECT_TRUE(EqualRect(&controls[i]->GetPos(), &placed));
  }
  controls[0]->SetFixedHeight(60);
  window.PaintNow();
  RECT moved = RectIn(window.GetHWND(), GetParent(embedding[1])), inner = RectIn(GetParent(embedding[1]), embedding[1]);
  EXPECT_TRUE(EqualRect(&controls[1]->GetPos(), &moved) && moved.top == 60) << "moved up and grown with the layout";
  EXPECT_EQ(controls[1]->GetHeight(), inner.bottom - inner.top) << "the browser fills its window";
  controls[0]->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(GetParent(embedding[0])));

  IUnknown* object = Object<IUnknown>(controls[1], IID_IUnknown);
  IOleClientSite* site = SiteOf(controls[1]);
  ASSERT_NE(nullptr, site);
  Remove(window, controls[1]);
  EXPECT_EQ(0u, site->Release()) << "the site is let go by the control and the browser";
  EXPECT_EQ(0u, object->Release()) << "the browser is let go by the control";
  DestroyWindow(window.GetHWND());
}

TEST_F(ActiveXHost, CreatesAtTheFirstPlacingOrWhileAttributesApplyWithoutDelay) {
  CActiveXUI delayed, atOnce, unknown;
  delayed.SetAttribute(L"clsid", L"Shell.Explorer.2");
  atOnce.SetAttribute(L"clsid", L"Shell.Explorer.2");
  atOnce.SetAttribute(L"delaycreate", L"false");
  unknown.SetAttribute(L"delaycreate", L"false");
  EXPECT_FALSE(unknown.CreateControl(L"No.Such.Control"));
  void* object = nullptr;
  EXPECT_EQ(E_PENDING, delayed.GetControl(IID_IUnknown, &object));
  EXPECT_EQ(E_PENDING, unknown.GetControl(IID_IUnknown, &object));
  ASSERT_EQ(S_OK, atOnce.GetControl(IID_IUnknown, &object));
  static_cast<IUnknown*>(object)->Release();
  delayed.SetPos(RECT{0, 0, 50, 50});
  ASSERT_EQ(S_OK, delayed.GetControl(IID_IUnknown, &object));
  static_cast<IUnknown*>(object)->Release();
}

TEST_F(ActiveXHost, AClassNothingRegistersLeavesNoHandleBehind) {
  const wchar_t* const kUnregistered = L"{6F1E47A0-52C1-4B9E-9A3D-1C0FFEE0B0A7}";
  CActiveXUI warmUp;
  warmUp.SetDelayCreate(false);
  warmUp.CreateControl(kUnregistered);
  const int before = skinui_test::CountKernelHandles();
  for (int i = 0; i < 50; ++i) {
    CActiveXUI control;
    control.SetDelayCreate(false);
    control.CreateControl(kUnregistered);
    void* object = nullptr;
    EXPECT_EQ(E_PENDING, control.GetControl(IID_IUnknown, &object)) << "nothing made";
  }
  EXPECT_EQ(before, skinui_test::CountKernelHandles());
}

TEST_F(ActiveXHost, WindowlessControlIsDrawnAndFedOnlyWhereItIsHitOrHoldsTheCapture) {
  fx::Log* log = FixtureLog();
  ASSERT_NE(nullptr, log);
  log->showObject = E_FAIL;
  DemoWindow window(Skin({fx::kHalfHitText, fx::kPlainViewText, fx::kNoViewText},
                         L"<ActiveX name=\"script\" clsid=\"MSScriptControl.ScriptControl\" />")
                        .c_str());
  ASSERT_NE(nullptr, window.Open(40, 40));
  EXPECT_EQ(S_OK, log->showObject) << "the site shows an object without a view by drawing nothing";
  EXPECT_EQ(nullptr, FindWindowExW(window.GetHWND(), nullptr, L"ActiveXWnd", nullptr)) << "no window of their own";
  IOleClientSite* scriptSite = SiteOf(ActiveX(window, L"script"));
  EXPECT_NE(nullptr, scriptSite) << "the invisible script control has its site";
  if (scriptSite != nullptr) scriptSite->Release();

  CActiveXUI* control = ActiveX(window, fx::kHalfHitText);
  RECT rc = control->GetPos(), plain = ActiveX(window, fx::kPlainViewText)->GetPos();
  const int y = (rc.top + rc.bottom) / 2;
  const LPARAM left = MAKELPARAM(rc.left + 10, y), right = MAKELPARAM(rc.right - 10, y);
  const DWORD colour = RGB(GetBValue(fx::kColour), GetGValue(fx::kColour), GetRValue(fx::kColour));
  EXPECT_TRUE(window.Pixel(rc.left + 10, y) == colour && window.Pixel(rc.right - 10, y) == colour);

  const fx::Log before = *log;
  window.PostMessage(WM_KEYDOWN, 'A', 0);
  window.Pump();
  EXPECT_EQ(before.keys, log->keys) << "keys wait for the focus";
  control->SetFocus();
  window.PostMessage(WM_KEYDOWN, 'A', 0);
  window.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, right);
  window.PostMessage(WM_LBUTTONUP, 0, right);
  window.Pump();
  EXPECT_EQ(before.keys + 1, log->keys);
  EXPECT_EQ(before.mouseDowns, log->mouseDowns) << "its right half is not the object";

  window.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, left);
  window.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, right);
  window.PostMessage(WM_LBUTTONUP, 0, right);
  window.PostMessage(WM_MOUSEMOVE, 0, right);
  window.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(plain.right - 5, plain.top + 5));
  window.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(plain.right - 5, plain.top + 5));
  POINT screen = {rc.left + 10, y};
  ClientToScreen(window.GetHWND(), &screen);
  window.PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  window.Pump();
  EXPECT_EQ(before.mouseDowns + 2, log->mouseDowns) << "an object without hit tests is hit all over";
  EXPECT_EQ(before.mouseMoves + 1, log->mouseMoves) << "only while it held the capture";
  EXPECT_EQ(before.wheels + 1, log->wheels) << "the wheel's point comes in screen coordinates";
  DestroyWindow(window.GetHWND());
}

TEST_F(ActiveXHost, SiteShowsEnumeratesAndHandsOutOneAcceleratorTableAndFramesThatOutliveTheControl) {
  DemoWindow window(Skin({fx::kHalfHitText}).c_str());
  ASSERT_NE(nullptr, window.Open(60, 60));
  CActiveXUI* control = ActiveX(window, fx::kHalfHitText);
  IOleClientSite* site = SiteOf(control);
  IUnknown* object = Object<IUnknown>(control, IID_IUnknown);
  ASSERT_TRUE(site != nullptr && object != nullptr);
  int shown = 0;
  for (int i = 0; i < 30000; ++i) shown += site->ShowObject() == S_OK;
  EXPECT_EQ(30000, shown) << "every window DC it takes is given back";
  {
    ComPtr<IOleContainer> container;
    ComPtr<IEnumUnknown> objects;
    ComPtr<IUnknown> found[3];
    site->GetContainer(&container);
    ASSERT_EQ(S_OK, container->EnumObjects(OLECONTF_EMBEDDINGS, &objects));
    EXPECT_EQ(S_OK, objects->Next(1, &found[0], nullptr)) << "no count asked for";
    EXPECT_EQ(S_FALSE, objects->Next(1, &found[1], nullptr));
    objects->Reset();
    EXPECT_EQ(S_OK, objects->Next(1, &found[2], nullptr));
    EXPECT_TRUE(object == found[0].Get() && object == found[2].Get());

    ComPtr<IOleInPlaceSite> inPlace;
    ComPtr<IOleInPlaceFrame> frames[2];
    ComPtr<IOleInPlaceUIWindow> doc;
    OLEINPLACEFRAMEINFO info[2] = {};
    RECT pos, clip;
    site->QueryInterface(IID_IOleInPlaceSite, &inPlace);
    for (int i = 0; i < 2; ++i) ASSERT_EQ(S_OK, inPlace->GetWindowContext(&frames[i], &doc, &pos, &clip, &info[i]));
    EXPECT_TRUE(info[0].haccel != nullptr && info[0].haccel == info[1].haccel) << "one table for every request";
    HWND frameWindow = nullptr;
    EXPECT_TRUE(frames[0]->GetWindow(&frameWindow) == S_OK && frameWindow == window.GetHWND());
    Remove(window, control);
    EXPECT_EQ(E_UNEXPECTED, frames[1]->GetWindow(&frameWindow)) << "a frame kept longer than the control";
  }
  EXPECT_EQ(0u, site->Release()) << "the site is let go by the control and the object";
  EXPECT_EQ(0u, object->Release());
  DestroyWindow(window.GetHWND());
}
