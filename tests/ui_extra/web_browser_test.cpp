// The web browser (which loads no page here: no HTML engine in the test prefix) and Flash controls;
// the event dispatcher and document-host tables by direct calls.
#include <exdispid.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "ole_test.h"
#include "ui/core/paint/control/container.h"
#include "ui/extra/activex/flash.h"
#include "ui/extra/activex/web_browser.h"

using namespace SkinUI;
using skinui_test::DemoWindow;

namespace {

// Records the handler calls it gets as "name:argument".
class Recorder : public IWebBrowserHostHandler {
 public:
  void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                       VARIANT_BOOL*) override {
    calls.push_back(L"before:" + Text(url));
  }
  void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT_BOOL*) override {
    calls.push_back(L"error:" + Text(url));
  }
  void TitleChange(CWebBrowserUI*, BSTR title) override { calls.push_back(L"title:" + std::wstring(title)); }
  HRESULT Download(CWebBrowserUI*, IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR headers, LPCOLESTR,
                   UINT) override {
    calls.push_back(L"download:" + std::wstring(headers));
    return E_ABORT;
  }
  static std::wstring Text(VARIANT* v) { return v != nullptr && V_VT(v) == VT_BSTR ? V_BSTR(v) : L"?"; }
  bool Saw(const std::wstring& call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
  std::vector<std::wstring> calls;
};

// A document that only keeps the UI handler it is given.
class FakeDocument : public ICustomDoc {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SetUIHandler(IDocHostUIHandler* handler) override {
    this->handler = handler;
    return S_OK;
  }
  IDocHostUIHandler* handler = nullptr;
};

// A variant of the type, its pointer (BSTR or reference) set.
VARIANT Value(VARTYPE type, void* pointer = nullptr) {
  VARIANT v = {};
  V_VT(&v) = type;
  V_BYREF(&v) = pointer;
  return v;
}

}  // namespace

class WebBrowser : public OleTest {};

TEST_F(WebBrowser, NavigatesTheHomePageOnlyWithAutoNaviAndOutlivesTheFailedLoad) {
  DemoWindow window(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
  ASSERT_NE(nullptr, window.Open(70, 70));
  auto* layout = static_cast<CContainerUI*>(window.GetPaintManager().GetRoot());
  Recorder quietLog, navigatingLog;
  auto* quiet = new CWebBrowserUI;
  auto* navigating = new CWebBrowserUI;
  quiet->SetWebBrowserEventHandler(&quietLog);
  navigating->SetWebBrowserEventHandler(&navigatingLog);
  for (CWebBrowserUI* web : {quiet, navigating}) {
    web->SetAttribute(L"homepage", L"http://127.0.0.1:9/home.html");
    layout->Add(web);
  }
  navigating->SetAttribute(L"autonavi", L"TRUE");
  window.PaintNow();
  ASSERT_NE(nullptr, navigating->GetWebBrowser2());
  for (int i = 0; i < 250 && !navigatingLog.Saw(L"error:http://127.0.0.1:9/home.html"); ++i) {
    window.Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  EXPECT_TRUE(navigatingLog.Saw(L"error:http://127.0.0.1:9/home.html")) << "the load fails: no HTML engine";
  EXPECT_FALSE(quietLog.Saw(L"error:http://127.0.0.1:9/home.html")) << "no navigation without autonavi";

  IUnknown* browser = Object<IUnknown>(navigating, IID_IUnknown);
  const ULONG connected = navigating->AddRef() - 1;
  navigating->Release();
  navigating->ReleaseControl();
  EXPECT_EQ(connected - 1, navigating->AddRef() - 1) << "the event connection is undone";
  navigating->Release();
  EXPECT_EQ(0u, browser->Release()) << "and the browser let go";
  navigating->SetFixedHeight(50);
  window.PaintNow();
  EXPECT_NE(nullptr, navigating->GetWebBrowser2()) << "created again at the next layout";
  DestroyWindow(window.GetHWND());
}

TEST_F(WebBrowser, EventDispatcherChecksTheArgumentsBeforeTheHandlerGetsThem) {
  CWebBrowserUI web;
  Recorder log;
  BSTR url = SysAllocString(L"http://a/"), title = SysAllocString(L"Page");
  VARIANT urlValue = Value(VT_BSTR, url);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT before[7], titled = Value(VT_BSTR, title), number = Value(VT_I4);
  for (VARIANT& v : before) v = Value(VT_BYREF | VT_VARIANT, &urlValue);
  before[0] = Value(VT_BYREF | VT_BOOL, &cancel);  // the arguments in reverse
  before[6] = Value(VT_DISPATCH);
  std::tuple<DISPID, VARIANT*, UINT, HRESULT> cases[] = {
      {DISPID_BEFORENAVIGATE2, before, 7, S_OK},
      {DISPID_BEFORENAVIGATE2, nullptr, 0, DISP_E_BADPARAMCOUNT},
      {DISPID_BEFORENAVIGATE2, before + 1, 6, DISP_E_BADPARAMCOUNT},
      {DISPID_NAVIGATEERROR, before + 2, 5, DISP_E_TYPEMISMATCH},
      {DISPID_TITLECHANGE, &titled, 1, S_OK},
      {DISPID_TITLECHANGE, &number, 1, DISP_E_TYPEMISMATCH},
      {DISPID_STATUSTEXTCHANGE, nullptr, 0, S_OK},
      {999, nullptr, 0, DISP_E_MEMBERNOTFOUND},
  };
  for (bool withHandler : {false, true}) {
    web.SetWebBrowserEventHandler(withHandler ? &log : nullptr);
    for (auto [id, args, count, result] : cases) {
      DISPPARAMS params = {args, nullptr, count, 0};
      EXPECT_EQ(result, web.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr))
          << "event " << id << " with " << count << " arguments";
    }
  }
  EXPECT_EQ((std::vector<std::wstring>{L"before:http://a/", L"title:Page"}), log.calls)
      << "only the checked events reach the handler, only once it is there";
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_EQ(E_INVALIDARG, web.Invoke(DISPID_STATUSTEXTCHANGE, IID_IDispatch, 0, 0, &none, nullptr, nullptr, nullptr));
  SysFreeString(url);
  SysFreeString(title);
}

TEST_F(WebBrowser, DocumentHostAnswersWithoutHandlerForwardsWithOneAndNeverShowsScriptErrors) {
  auto* owned = new CWebBrowserUI;
  CWebBrowserUI& web = *owned;
  Recorder log;
  FakeDocument first, second;
  DOCHOSTUIINFO info = {};
  EXPECT_TRUE(web.GetHostInfo(&info) == S_OK && (info.dwFlags & 0x200004u) == 0x200004u) << "no 3-D borders";
  IDownloadManager* downloads = nullptr;
  ASSERT_EQ(S_OK, web.QueryService(__uuidof(IDownloadManager), __uuidof(IDownloadManager),
                                   reinterpret_cast<void**>(&downloads)));
  EXPECT_EQ(S_OK, downloads->Download(nullptr, nullptr, 0, 0, nullptr, L"h", nullptr, 0));
  web.SetWebBrowserEventHandler(&log);
  EXPECT_EQ(E_ABORT, downloads->Download(nullptr, nullptr, 0, 0, nullptr, L"h", nullptr, 0));
  EXPECT_TRUE(log.Saw(L"download:h"));

  const GUID docHost = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
  VARIANT out = Value(VT_EMPTY), in = Value(VT_I4);
  EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, web.Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
  EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED, web.Exec(&docHost, OLECMDID_PRINT, 0, nullptr, &out));
  EXPECT_EQ(E_INVALIDARG, web.Exec(&docHost, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out)) << "no error object";
  EXPECT_EQ(E_INVALIDARG, web.Exec(&docHost, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
  EXPECT_TRUE(V_VT(&out) == VT_BOOL && V_BOOL(&out) == VARIANT_TRUE) << "scripts go on running";

  web.SetDocumentUIHandler(&first);
  web.SetDocumentUIHandler(&second);
  EXPECT_TRUE(first.handler == nullptr && second.handler == &web) << "only the newest document has it";
  delete owned;
  EXPECT_EQ(nullptr, second.handler) << "given back empty when the control goes";
}

TEST_F(WebBrowser, FlashNotRegisteredLeavesAnEmptyControl) {
  DemoWindow window(L"<Window size=\"200,100\"><VerticalLayout><Flash name=\"flash\" /></VerticalLayout></Window>");
  ASSERT_NE(nullptr, window.Open(80, 80));
  auto* flash = static_cast<CFlashUI*>(window.Find(L"flash")->GetInterface(L"flash"));
  ASSERT_NE(nullptr, flash);
  void* object = nullptr;
  EXPECT_EQ(E_PENDING, flash->GetControl(IID_IUnknown, &object));
  EXPECT_EQ(0, window.Count(L"showactivex"));
  EXPECT_EQ(nullptr, FindWindowExW(window.GetHWND(), nullptr, L"ActiveXWnd", nullptr));
  DestroyWindow(window.GetHWND());
}
