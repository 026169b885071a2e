#include "ui/extra/activex/web_browser.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"

using Microsoft::WRL::ComPtr;

namespace SkinUI {

namespace {

const CLSID kWebBrowserClsid = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

// Answers every call as the control does without a handler.
class DefaultHostHandler final : public IWebBrowserHostHandler {};

}  // namespace

CWebBrowserUI::CWebBrowserUI()
    : m_dwRef(0), m_dwCookie(0), m_bAutoNavi(false), m_pWebBrowserEventHandler(nullptr), m_downloadManager(this) {
  m_clsid = kWebBrowserClsid;
}

CWebBrowserUI::~CWebBrowserUI() { ReleaseControl(); }

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowserUI"; }

LPVOID CWebBrowserUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"WebBrowser") == 0) return static_cast<CWebBrowserUI*>(this);
  return CActiveXUI::GetInterface(pstrName);
}

void CWebBrowserUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (_wcsicmp(pstrName, L"homepage") == 0)
    SetHomePage(pstrValue);
  else if (_wcsicmp(pstrName, L"autonavi") == 0)
    SetAutoNavigation(_wcsicmp(pstrValue, L"true") == 0);
  else
    CActiveXUI::SetAttribute(pstrName, pstrValue);
}

IWebBrowserHostHandler& CWebBrowserUI::Handler() const {
  static DefaultHostHandler defaults;
  return m_pWebBrowserEventHandler != nullptr ? *m_pWebBrowserEventHandler : defaults;
}

bool CWebBrowserUI::DoCreateControl() {
  if (!CActiveXUI::DoCreateControl()) return false;
  if (m_pManager != nullptr) m_pManager->AddTranslateAccelerator(this);
  GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(m_pWebBrowser2.ReleaseAndGetAddressOf()));
  if (m_bAutoNavi && !m_sHomePage.IsEmpty()) Navigate2(m_sHomePage.GetData());
  RegisterEventHandler(TRUE);
  return true;
}

// Lets the browser go with the object: a control created again releases the one it had.
void CWebBrowserUI::ReleaseControl() {
  m_bCreated = false;
  if (m_pManager != nullptr) m_pManager->RemoveTranslateAccelerator(this);
  RegisterEventHandler(FALSE);
  SetDocumentUIHandler(nullptr);
  m_pWebBrowser2.Reset();
  CActiveXUI::ReleaseControl();
}

void CWebBrowserUI::Navigate2(const wchar_t* url) {
  if (url == nullptr || m_pWebBrowser2 == nullptr) return;
  VARIANT target;
  ::VariantInit(&target);
  V_VT(&target) = VT_BSTR;
  V_BSTR(&target) = ::SysAllocString(url);
  m_pWebBrowser2->Navigate2(&target, nullptr, nullptr, nullptr, nullptr);
  ::VariantClear(&target);
}

HRESULT CWebBrowserUI::RegisterEventHandler(BOOL advise) {
  if (!advise && m_dwCookie == 0) return S_FALSE;
  ComPtr<IWebBrowser2> browser;
  HRESULT hr = GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(browser.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPointContainer> container;
  hr = browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IConnectionPoint> point;
  hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.GetAddressOf());
  if (FAILED(hr)) return hr;
  if (advise) return point->Advise(static_cast<IDispatch*>(this), &m_dwCookie);
  hr = point->Unadvise(m_dwCookie);
  m_dwCookie = 0;
  return hr;
}

void CWebBrowserUI::SetDocumentUIHandler(IUnknown* document) {
  if (m_pCustomDoc != nullptr) m_pCustomDoc->SetUIHandler(nullptr);
  m_pCustomDoc.Reset();
  if (document == nullptr ||
      FAILED(document->QueryInterface(__uuidof(ICustomDoc), reinterpret_cast<void**>(m_pCustomDoc.GetAddressOf())))) {
    return;
  }
  m_pCustomDoc->SetUIHandler(static_cast<IDocHostUIHandler*>(this));
}

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* pMsg) {
  return TranslateKeyForObject(m_pWebBrowser2.Get(), m_hwndHost, pMsg);
}

HRESULT CWebBrowserUI::Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF, BINDINFO* pBindInfo,
                                LPCOLESTR pszHeaders, LPCOLESTR pszRedir, UINT uiCP) {
  return Handler().Download(this, pmk, pbc, dwBindVerb, grfBINDF, pBindInfo, pszHeaders, pszRedir, uiCP);
}

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler)
    *ppvObject = static_cast<IDocHostUIHandler*>(this);
  else if (riid == IID_IDispatch)
    *ppvObject = static_cast<IDispatch*>(this);
  else if (riid == IID_IServiceProvider)
    *ppvObject = static_cast<IServiceProvider*>(this);
  else if (riid == IID_IOleCommandTarget)
    *ppvObject = static_cast<IOleCommandTarget*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }
STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return static_cast<ULONG>(::InterlockedDecrement(&m_dwRef)); }

STDMETHODIMP CWebDownloadManager::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != __uuidof(IDownloadManager)) return E_NOINTERFACE;
  *ppvObject = static_cast<IDownloadManager*>(this);
  return S_OK;
}

// A part of the control: it lives as long as the control does.
STDMETHODIMP_(ULONG) CWebDownloadManager::AddRef() { return 1; }
STDMETHODIMP_(ULONG) CWebDownloadManager::Release() { return 1; }

STDMETHODIMP CWebDownloadManager::Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                                           BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir, UINT uiCP) {
  return m_pOwner->Download(pmk, pbc, dwBindVerb, grfBINDF, pBindInfo, pszHeaders, pszRedir, uiCP);
}

}  // namespace SkinUI
