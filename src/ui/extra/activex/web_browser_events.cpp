// The browser's DWebBrowserEvents2, checked against each event's arguments before they are read.
#include <exdispid.h>

#include "ui/extra/activex/web_browser.h"

namespace SkinUI {

namespace {

constexpr VARTYPE kRefVariant = VT_BYREF | VT_VARIANT;
constexpr VARTYPE kRefBool = VT_BYREF | VT_BOOL;

// An event's arguments in the order of its declaration (the parameter array holds them reversed).
struct EventShape {
  DISPID id;
  UINT count;
  VARTYPE types[7];
};

const EventShape kEvents[] = {
    {DISPID_BEFORENAVIGATE2,
     7,
     {VT_DISPATCH, kRefVariant, kRefVariant, kRefVariant, kRefVariant, kRefVariant, kRefBool}},
    {DISPID_NAVIGATECOMPLETE2, 2, {VT_DISPATCH, kRefVariant}},
    {DISPID_DOCUMENTCOMPLETE, 2, {VT_DISPATCH, kRefVariant}},
    {DISPID_NAVIGATEERROR, 5, {VT_DISPATCH, kRefVariant, kRefVariant, kRefVariant, kRefBool}},
    {DISPID_NEWWINDOW3, 5, {VT_BYREF | VT_DISPATCH, kRefBool, VT_I4, VT_BSTR, VT_BSTR}},
    {DISPID_COMMANDSTATECHANGE, 2, {VT_I4, VT_BOOL}},
    {DISPID_TITLECHANGE, 1, {VT_BSTR}},
};

bool SameType(VARTYPE expected, VARTYPE given) {
  if (expected == VT_I4) return given == VT_I4 || given == VT_UI4;
  return expected == given;
}

// S_OK when the parameters have the event's count and types.
HRESULT CheckArguments(const EventShape& shape, const DISPPARAMS& params) {
  if (params.cArgs != shape.count || (shape.count > 0 && params.rgvarg == nullptr)) return DISP_E_BADPARAMCOUNT;
  for (UINT i = 0; i < shape.count; ++i) {
    if (!SameType(shape.types[i], V_VT(&params.rgvarg[shape.count - 1 - i]))) return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

// Argument `i` in declaration order.
VARIANT& Arg(DISPPARAMS& params, UINT i) { return params.rgvarg[params.cArgs - 1 - i]; }

}  // namespace

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo != nullptr) *pctinfo = 0;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD, DISPPARAMS* pDispParams, VARIANT*,
                                   EXCEPINFO*, UINT*) {
  if (riid != IID_NULL) return E_INVALIDARG;
  if (dispIdMember == DISPID_STATUSTEXTCHANGE) return S_OK;
  for (const EventShape& shape : kEvents) {
    if (shape.id != dispIdMember) continue;
    if (pDispParams == nullptr) return E_INVALIDARG;
    HRESULT hr = CheckArguments(shape, *pDispParams);
    return SUCCEEDED(hr) ? OnEvent(dispIdMember, *pDispParams) : hr;
  }
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT CWebBrowserUI::OnEvent(DISPID dispIdMember, DISPPARAMS& p) {
  IWebBrowserHostHandler& handler = Handler();
  switch (dispIdMember) {
    case DISPID_BEFORENAVIGATE2:
      handler.BeforeNavigate2(this, V_DISPATCH(&Arg(p, 0)), V_VARIANTREF(&Arg(p, 1)), V_VARIANTREF(&Arg(p, 2)),
                              V_VARIANTREF(&Arg(p, 3)), V_VARIANTREF(&Arg(p, 4)), V_VARIANTREF(&Arg(p, 5)),
                              V_BOOLREF(&Arg(p, 6)));
      break;
    case DISPID_NAVIGATECOMPLETE2:
      OnNavigateComplete2(V_DISPATCH(&Arg(p, 0)), V_VARIANTREF(&Arg(p, 1)));
      break;
    case DISPID_DOCUMENTCOMPLETE:
      handler.DocumentComplete(this, V_DISPATCH(&Arg(p, 0)), V_VARIANTREF(&Arg(p, 1)));
      break;
    case DISPID_NAVIGATEERROR:
      handler.NavigateError(this, V_DISPATCH(&Arg(p, 0)), V_VARIANTREF(&Arg(p, 1)), V_VARIANTREF(&Arg(p, 2)),
                            V_VARIANTREF(&Arg(p, 3)), V_BOOLREF(&Arg(p, 4)));
      break;
    case DISPID_NEWWINDOW3:
      handler.NewWindow3(this, V_DISPATCHREF(&Arg(p, 0)), V_BOOLREF(&Arg(p, 1)), static_cast<DWORD>(V_I4(&Arg(p, 2))),
                         V_BSTR(&Arg(p, 3)), V_BSTR(&Arg(p, 4)));
      break;
    case DISPID_COMMANDSTATECHANGE:
      handler.CommandStateChange(this, V_I4(&Arg(p, 0)), V_BOOL(&Arg(p, 1)));
      break;
    case DISPID_TITLECHANGE:
      handler.TitleChange(this, V_BSTR(&Arg(p, 0)));
      break;
  }
  return S_OK;
}

// Every navigation brings a new document: this control becomes its UI handler again.
void CWebBrowserUI::OnNavigateComplete2(IDispatch* pDisp, VARIANT* url) {
  Microsoft::WRL::ComPtr<IDispatch> document;
  if (m_pWebBrowser2 != nullptr && SUCCEEDED(m_pWebBrowser2->get_Document(document.GetAddressOf()))) {
    SetDocumentUIHandler(document.Get());
  }
  Handler().NavigateComplete2(this, pDisp, url);
}

}  // namespace SkinUI
