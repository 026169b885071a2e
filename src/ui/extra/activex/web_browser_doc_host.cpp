// The browser's document host: UI handler, services and command target.
#include <mshtml.h>

#include "ui/extra/activex/web_browser.h"

using Microsoft::WRL::ComPtr;

namespace SkinUI {

namespace {

const GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

HRESULT ReadProperty(IDispatch* object, const wchar_t* name, VARIANT* value) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

// Reads the script error's details from the document's current event; the result of the last read.
HRESULT ReadScriptError(IUnknown* documentObject) {
  ComPtr<IHTMLDocument2> document;
  HRESULT hr = documentObject->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.GetAddressOf()));
  if (FAILED(hr)) return hr;
  ComPtr<IHTMLWindow2> window;
  ComPtr<IHTMLEventObj> event;
  if (FAILED(hr = document->get_parentWindow(window.GetAddressOf())) || window == nullptr)
    return FAILED(hr) ? hr : E_FAIL;
  if (FAILED(hr = window->get_event(event.GetAddressOf())) || event == nullptr) return FAILED(hr) ? hr : E_FAIL;
  static const wchar_t* const kNames[] = {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl"};
  for (const wchar_t* name : kNames) {
    VARIANT value;
    ::VariantInit(&value);
    hr = ReadProperty(event.Get(), name, &value);
    ::VariantClear(&value);
  }
  return hr;
}

}  // namespace

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdisp) {
  return Handler().ShowContextMenu(this, dwID, ppt, pcmdtReserved, pdisp);
}

// The browser draws no 3-D borders of its own in a skinned window.
STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* pInfo) {
  if (pInfo == nullptr) return E_POINTER;
  pInfo->dwFlags |= DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
  return Handler().GetHostInfo(this, pInfo);
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject,
                                   IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
                                   IOleInPlaceUIWindow* pDoc) {
  return Handler().ShowUI(this, dwID, pActiveObject, pCommandTarget, pFrame, pDoc);
}

STDMETHODIMP CWebBrowserUI::HideUI() { return Handler().HideUI(this); }
STDMETHODIMP CWebBrowserUI::UpdateUI() { return Handler().UpdateUI(this); }
STDMETHODIMP CWebBrowserUI::EnableModeless(WINBOOL fEnable) { return Handler().EnableModeless(this, fEnable); }

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(WINBOOL fActivate) {
  return Handler().OnDocWindowActivate(this, fActivate);
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(WINBOOL fActivate) {
  return Handler().OnFrameWindowActivate(this, fActivate);
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, WINBOOL fRameWindow) {
  return Handler().ResizeBorder(this, prcBorder, pUIWindow, fRameWindow);
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) {
  return Handler().TranslateAccelerator(this, lpMsg, pguidCmdGroup, nCmdID);
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) {
  return Handler().GetOptionKeyPath(this, pchKey, dw);
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) {
  return Handler().GetDropTarget(this, pDropTarget, ppDropTarget);
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** ppDispatch) { return Handler().GetExternal(this, ppDispatch); }

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD dwTranslate, LPWSTR pchURLIn, LPWSTR* ppchURLOut) {
  if (ppchURLOut != nullptr) *ppchURLOut = nullptr;
  return Handler().TranslateUrl(this, dwTranslate, pchURLIn, ppchURLOut);
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) {
  if (ppDORet != nullptr) *ppDORet = nullptr;
  return Handler().FilterDataObject(this, pDO, ppDORet);
}

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID guidService, REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (guidService != __uuidof(IDownloadManager) || riid != __uuidof(IDownloadManager)) return E_NOINTERFACE;
  *ppvObject = static_cast<IDownloadManager*>(&m_downloadManager);
  return S_OK;
}

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

// A script error never shows the browser's dialog: scripts go on running.
STDMETHODIMP CWebBrowserUI::Exec(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD, VARIANT* pvaIn, VARIANT* pvaOut) {
  if (pguidCmdGroup == nullptr || *pguidCmdGroup != kDocHostCommandHandler) return OLECMDERR_E_UNKNOWNGROUP;
  if (nCmdID != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
  if (pvaOut != nullptr) {
    ::VariantClear(pvaOut);
    V_VT(pvaOut) = VT_BOOL;
    V_BOOL(pvaOut) = VARIANT_TRUE;
  }
  if (pvaIn == nullptr || (V_VT(pvaIn) != VT_UNKNOWN && V_VT(pvaIn) != VT_DISPATCH) || V_UNKNOWN(pvaIn) == nullptr) {
    return E_INVALIDARG;
  }
  return ReadScriptError(V_UNKNOWN(pvaIn));
}

}  // namespace SkinUI
