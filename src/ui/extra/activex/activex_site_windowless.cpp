// The site's windowless, control-site, object-with-site and container answers.
#include <new>

#include "ui/extra/activex/activex_site_internal.h"

namespace SkinUI {

// IOleInPlaceSiteWindowless

STDMETHODIMP CActiveXCtrl::CanWindowlessActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::GetCapture() { return m_bCaptured ? S_OK : S_FALSE; }

STDMETHODIMP CActiveXCtrl::SetCapture(WINBOOL fCapture) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  m_bCaptured = fCapture == TRUE;
  if (m_bCaptured)
    ::SetCapture(m_pOwner->m_hwndHost);
  else
    ::ReleaseCapture();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetFocus() { return m_bFocused ? S_OK : S_FALSE; }

STDMETHODIMP CActiveXCtrl::SetFocus(WINBOOL fFocus) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  m_bFocused = fFocus == TRUE;
  // Last: the receiver of "killfocus" may delete the owner, which lets this site go.
  if (fFocus == TRUE) m_pOwner->SetFocus();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetDC(LPCRECT, DWORD grfFlags, HDC* phDC) {
  if (phDC == nullptr) return E_POINTER;
  *phDC = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_bWindowless) return S_FALSE;
  *phDC = ::GetDC(m_pOwner->m_hwndHost);
  if ((grfFlags & OLEDC_PAINTBKGND) != 0) {
    RECT rc = m_pOwner->ObjectRect();
    ::FillRect(*phDC, &rc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ReleaseDC(HDC hDC) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  ::ReleaseDC(m_pOwner->m_hwndHost, hDC);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::InvalidateRect(LPCRECT pRect, WINBOOL fErase) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_pOwner->m_hwndHost == nullptr) return E_FAIL;
  return ::InvalidateRect(m_pOwner->m_hwndHost, pRect, fErase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::InvalidateRgn(HRGN hRGN, WINBOOL fErase) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return ::InvalidateRgn(m_pOwner->m_hwndHost, hRGN, fErase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXCtrl::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) {
  if (plResult == nullptr) return E_POINTER;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  *plResult = ::DefWindowProcW(m_pOwner->m_hwndHost, msg, wParam, lParam);
  return S_OK;
}

// IOleControlSite

STDMETHODIMP CActiveXCtrl::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXCtrl::LockInPlaceActive(WINBOOL) { return S_OK; }

STDMETHODIMP CActiveXCtrl::GetExtendedControl(IDispatch** ppDisp) {
  if (ppDisp == nullptr) return E_POINTER;
  *ppDisp = nullptr;
  if (m_pOwner == nullptr || m_pOwner->m_pUnk == nullptr) return E_UNEXPECTED;
  return m_pOwner->m_pUnk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(ppDisp));
}

STDMETHODIMP CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnFocus(WINBOOL fGotFocus) {
  m_bFocused = fGotFocus == TRUE;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// IObjectWithSite

STDMETHODIMP CActiveXCtrl::SetSite(IUnknown* pUnkSite) {
  m_pUnkSite = pUnkSite;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetSite(REFIID riid, void** ppvSite) {
  if (ppvSite == nullptr) return E_POINTER;
  *ppvSite = nullptr;
  if (m_pUnkSite == nullptr) return E_FAIL;
  return m_pUnkSite->QueryInterface(riid, ppvSite);
}

// IOleContainer

STDMETHODIMP CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** ppenum) {
  if (ppenum == nullptr) return E_POINTER;
  *ppenum = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  *ppenum = new (std::nothrow) CActiveXEnum(m_pOwner->m_pUnk.Get());
  return *ppenum != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CActiveXCtrl::LockContainer(WINBOOL fLock) {
  m_bLocked = fLock != FALSE;
  return S_OK;
}

}  // namespace SkinUI
