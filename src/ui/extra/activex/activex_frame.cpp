// The in-place frame handed to an object and the enumerator of the container's one object.
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/activex/activex_site_internal.h"

namespace SkinUI {

CActiveXFrameWnd::CActiveXFrameWnd(CActiveXCtrl* site) : m_dwRef(1), m_site(site) {}

STDMETHODIMP CActiveXFrameWnd::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IOleWindow && riid != IID_IOleInPlaceUIWindow &&
      riid != IID_IOleInPlaceFrame) {
    return E_NOINTERFACE;
  }
  *ppvObject = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXFrameWnd::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }

STDMETHODIMP_(ULONG) CActiveXFrameWnd::Release() {
  LONG count = ::InterlockedDecrement(&m_dwRef);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

STDMETHODIMP CActiveXFrameWnd::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  CActiveXUI* owner = m_site->Owner();
  if (owner == nullptr || owner->GetManager() == nullptr) return E_UNEXPECTED;
  *phwnd = owner->GetManager()->GetPaintWindow();
  return S_OK;
}

STDMETHODIMP CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) {
  m_pActiveObject = pActiveObject;
  return S_OK;
}

CActiveXEnum::CActiveXEnum(IUnknown* pUnk) : m_iPos(0), m_dwRef(1), m_pUnk(pUnk) {}

STDMETHODIMP CActiveXEnum::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IEnumUnknown) return E_NOINTERFACE;
  *ppvObject = static_cast<IEnumUnknown*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXEnum::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }

STDMETHODIMP_(ULONG) CActiveXEnum::Release() {
  LONG count = ::InterlockedDecrement(&m_dwRef);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

// The container holds one object: it is given once per pass, whatever count is asked.
STDMETHODIMP CActiveXEnum::Next(ULONG, IUnknown** rgelt, ULONG* pceltFetched) {
  if (pceltFetched != nullptr) *pceltFetched = 0;
  if (rgelt == nullptr) return E_POINTER;
  if (++m_iPos > 1 || m_pUnk == nullptr) return S_FALSE;
  rgelt[0] = m_pUnk.Get();
  rgelt[0]->AddRef();
  if (pceltFetched != nullptr) *pceltFetched = 1;
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Skip(ULONG celt) {
  m_iPos += static_cast<LONG>(celt);
  return S_OK;
}

STDMETHODIMP CActiveXEnum::Reset() {
  m_iPos = 0;
  return S_OK;
}

}  // namespace SkinUI
