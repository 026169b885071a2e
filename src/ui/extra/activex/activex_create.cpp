#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/activex/activex.h"
#include "ui/extra/activex/activex_site_internal.h"

using Microsoft::WRL::ComPtr;

namespace SkinUI {

namespace {

// The message ranges a windowless object is offered, whatever the headers' Windows version says.
constexpr UINT kMouseFirst = 0x200, kMouseLast = 0x20D, kKeyFirst = 0x100, kKeyLast = 0x109;

// The class object of a named DLL, never freed: the object's code lives in it.
HRESULT CreateFromModule(const CUIString& module, REFCLSID clsid, IUnknown** created) {
  if (module.IsEmpty()) return E_FAIL;
  HMODULE dll = ::LoadLibraryW(module.GetData());
  if (dll == nullptr) return HRESULT_FROM_WIN32(::GetLastError());
  auto getClassObject =
      reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void*>(::GetProcAddress(dll, "DllGetClassObject")));
  if (getClassObject == nullptr) return E_FAIL;
  ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(created));
}

// The contexts to create a class in. Out-of-process activation needs the class's registration;
// asking it for a class that nothing registers gets nothing on Windows, and under Wine leaks two
// registry handles per attempt and may wait on the RPC service: such a class is asked of
// in-process class objects only.
DWORD ActivationContexts(REFCLSID clsid) {
  const DWORD inProcess = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
  wchar_t key[48] = L"CLSID\\";
  if (::StringFromGUID2(clsid, key + 6, 40) == 0) return inProcess;
  HKEY registered = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &registered) != ERROR_SUCCESS) return inProcess;
  ::RegCloseKey(registered);
  return inProcess | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
}

// The point of a mouse message in client coordinates: the wheel's comes in screen coordinates
// and WM_SETCURSOR carries none.
POINT MessagePoint(HWND hwnd, UINT uMsg, LPARAM lParam) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (uMsg == WM_SETCURSOR) ::GetCursorPos(&pt);
  if (uMsg == WM_SETCURSOR || uMsg == WM_MOUSEWHEEL) ::ScreenToClient(hwnd, &pt);
  return pt;
}

}  // namespace

bool CActiveXUI::DoCreateControl() {
  ReleaseControl();
  m_bCreated = true;  // no second attempt until the CLSID is set again
  ComPtr<IUnknown> created;
  HRESULT hr = CreateFromModule(m_sModuleName, m_clsid, created.GetAddressOf());
  if (FAILED(hr)) {
    hr = ::CoCreateInstance(m_clsid, nullptr, ActivationContexts(m_clsid), IID_IOleControl,
                            reinterpret_cast<void**>(created.ReleaseAndGetAddressOf()));
  }
  if (FAILED(hr)) return false;
  hr = created->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(m_pUnk.GetAddressOf()));
  if (FAILED(hr)) return false;

  m_pControl = new CActiveXCtrl(this);
  DWORD misc = 0;
  m_pUnk->GetMiscStatus(DVASPECT_CONTENT, &misc);
  ComPtr<IOleClientSite> site;
  m_pControl->QueryInterface(IID_IOleClientSite, reinterpret_cast<void**>(site.GetAddressOf()));
  if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0) m_pUnk->SetClientSite(site.Get());
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(m_pUnk->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.GetAddressOf())))) {
    hr = persist->InitNew();
    if (FAILED(hr)) return false;
  }
  if ((misc & OLEMISC_SETCLIENTSITEFIRST) == 0) m_pUnk->SetClientSite(site.Get());
  m_pControl->TakeViewObject(m_pUnk.Get());
  hr = m_pUnk->SetHostNames(L"UIActiveX", nullptr);

  // The receiver may delete this control: the object is then released, never shown.
  CControlWatch alive(this);
  if (m_pManager != nullptr) m_pManager->SendNotify(this, L"showactivex", 0, 0, false);
  if (!alive) return false;
  if ((misc & OLEMISC_INVISIBLEATRUNTIME) == 0 && m_pManager != nullptr) {
    try {
      hr = m_pUnk->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, m_pManager->GetPaintWindow(), &m_rcItem);
    } catch (...) {}
  }
  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(m_pUnk->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.GetAddressOf())))) {
    withSite->SetSite(m_pControl->Identity());
  }
  return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseControl() {
  if (m_pManager != nullptr) m_pManager->RemoveMessageFilter(this);
  if (m_pUnk != nullptr) {
    ComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(m_pUnk->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(withSite.GetAddressOf())))) {
      withSite->SetSite(nullptr);
    }
    if (!m_bNoClose) m_pUnk->Close(OLECLOSE_NOSAVE);
    m_pUnk->SetClientSite(nullptr);
    m_pUnk.Reset();
  }
  if (m_pControl != nullptr) {
    m_pControl->ClearOwner();
    m_pControl->Release();
    m_pControl = nullptr;
  }
  m_hwndHost = nullptr;
}

LRESULT CActiveXUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (m_pControl == nullptr || !m_pControl->IsInPlaceActive()) return 0;
  IOleInPlaceObjectWindowless* object = m_pControl->WindowlessObject();
  if (object == nullptr) return 0;
  const bool mouse = uMsg >= kMouseFirst && uMsg <= kMouseLast;
  if (mouse && !IsMouseEnabled()) return 0;
  bool handled = false;
  if (mouse || uMsg == WM_SETCURSOR) {
    if (!m_pControl->IsCaptured() && !m_pControl->HitTest(MessagePoint(m_hwndHost, uMsg, lParam), m_rcItem)) return 0;
    handled = uMsg != WM_SETCURSOR;
  } else if (uMsg >= kKeyFirst && uMsg <= kKeyLast) {
    if (!IsFocused()) return 0;
    handled = true;
  } else if (uMsg != WM_HELP && uMsg != WM_CONTEXTMENU) {
    return 0;
  }
  LRESULT result = 0;
  if (object->OnWindowMessage(uMsg, wParam, lParam, &result) == S_OK) bHandled = handled;
  return result;
}

LRESULT TranslateKeyForObject(IUnknown* object, HWND host, MSG* pMsg) {
  if (pMsg == nullptr || pMsg->message < kKeyFirst || pMsg->message > kKeyLast) return S_FALSE;
  if (object == nullptr) return E_NOTIMPL;
  HWND focus = ::GetFocus();
  if (host == nullptr || (focus != host && !::IsChild(host, focus))) return S_FALSE;
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(object->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(active.GetAddressOf())))) {
    return S_FALSE;
  }
  return active->TranslateAccelerator(pMsg);
}

}  // namespace SkinUI
