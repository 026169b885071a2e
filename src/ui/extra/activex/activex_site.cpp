// The site's identity, its client-site answers and in-place activation.
#include <new>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/activex/activex_site_internal.h"

namespace SkinUI {

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner)
    : m_dwRef(1),
      m_pOwner(owner),
      m_pWindow(nullptr),
      m_bLocked(false),
      m_bFocused(false),
      m_bCaptured(false),
      m_bUIActive(false),
      m_bInPlaceActive(false),
      m_bWindowless(true),
      m_bViewObjectEx(false),
      m_hAccel(nullptr) {}

CActiveXCtrl::~CActiveXCtrl() {
  DestroyActiveXWnd();
  if (m_hAccel != nullptr) ::DestroyAcceleratorTable(m_hAccel);
}

STDMETHODIMP CActiveXCtrl::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown || riid == IID_IOleInPlaceSiteWindowless || riid == IID_IOleInPlaceSiteEx ||
      riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
    *ppvObject = static_cast<IOleInPlaceSiteWindowless*>(this);
  } else if (riid == IID_IOleClientSite) {
    *ppvObject = static_cast<IOleClientSite*>(this);
  } else if (riid == IID_IOleControlSite) {
    *ppvObject = static_cast<IOleControlSite*>(this);
  } else if (riid == IID_IObjectWithSite) {
    *ppvObject = static_cast<IObjectWithSite*>(this);
  } else if (riid == IID_IOleContainer) {
    *ppvObject = static_cast<IOleContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXCtrl::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_dwRef)); }

STDMETHODIMP_(ULONG) CActiveXCtrl::Release() {
  LONG count = ::InterlockedDecrement(&m_dwRef);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

void CActiveXCtrl::TakeViewObject(IUnknown* object) {
  m_pViewObject.Reset();
  m_bViewObjectEx = SUCCEEDED(object->QueryInterface(IID_IViewObjectEx, &m_pViewObject));
  if (!m_bViewObjectEx && FAILED(object->QueryInterface(IID_IViewObject2, &m_pViewObject))) {
    object->QueryInterface(IID_IViewObject, &m_pViewObject);
  }
}

// Only an IViewObjectEx answers hit tests; any other object is opaque over its whole rectangle.
bool CActiveXCtrl::HitTest(POINT pt, const RECT& bounds) const {
  if (!m_bViewObjectEx) return ::PtInRect(&bounds, pt) != FALSE;
  DWORD hit = HITRESULT_OUTSIDE;
  auto* view = static_cast<IViewObjectEx*>(m_pViewObject.Get());
  view->QueryHitPoint(DVASPECT_CONTENT, &bounds, pt, 0, &hit);
  return hit == HITRESULT_HIT;
}

void CActiveXCtrl::Draw(HDC hDC, const RECT& bounds) const {
  if (m_pViewObject == nullptr) return;
  RECTL rc = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  m_pViewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hDC, &rc, &rc, nullptr, 0);
}

IOleInPlaceObjectWindowless* CActiveXCtrl::WindowlessObject() const {
  if (!m_bWindowless || m_pInPlaceObject == nullptr) return nullptr;
  return static_cast<IOleInPlaceObjectWindowless*>(m_pInPlaceObject.Get());
}

// IOleClientSite

STDMETHODIMP CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
  if (ppmk != nullptr) *ppmk = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXCtrl::GetContainer(IOleContainer** ppContainer) {
  if (ppContainer == nullptr) return E_POINTER;
  *ppContainer = nullptr;
  if (m_pUnkSite != nullptr &&
      SUCCEEDED(m_pUnkSite->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(ppContainer)))) {
    return S_OK;
  }
  return QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(ppContainer));
}

// Draws the object once into its window (an object without a view draws nothing).
STDMETHODIMP CActiveXCtrl::ShowObject() {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND host = m_pOwner->m_hwndHost;
  HDC hDC = host != nullptr ? ::GetDC(host) : nullptr;
  if (hDC == nullptr) return E_FAIL;
  Draw(hDC, m_pOwner->ObjectRect());
  ::ReleaseDC(host, hDC);
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnShowWindow(WINBOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleWindow

STDMETHODIMP CActiveXCtrl::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_pOwner->m_hwndHost == nullptr) CreateActiveXWnd();
  *phwnd = m_pOwner->m_hwndHost;
  return *phwnd != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXCtrl::ContextSensitiveHelp(WINBOOL) { return S_OK; }

// IOleInPlaceSite

STDMETHODIMP CActiveXCtrl::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXCtrl::OnUIActivate() {
  m_bUIActive = true;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                            LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) {
  if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr ||
      lpFrameInfo == nullptr) {
    return E_POINTER;
  }
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_pWindow != nullptr) {
    ::GetClientRect(m_pWindow->GetHWND(), lprcPosRect);
    ::GetClientRect(m_pWindow->GetHWND(), lprcClipRect);
  }
  *ppFrame = new (std::nothrow) CActiveXFrameWnd(this);
  *ppDoc = nullptr;
  if (*ppFrame == nullptr) return E_OUTOFMEMORY;
  if (m_hAccel == nullptr) {
    ACCEL empty = {};
    m_hAccel = ::CreateAcceleratorTableW(&empty, 1);
  }
  CPaintManagerUI* manager = m_pOwner->GetManager();
  lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
  lpFrameInfo->fMDIApp = FALSE;
  lpFrameInfo->hwndFrame = manager != nullptr ? manager->GetPaintWindow() : nullptr;
  lpFrameInfo->haccel = m_hAccel;
  lpFrameInfo->cAccelEntries = 1;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXCtrl::OnUIDeactivate(WINBOOL) {
  m_bUIActive = false;
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// IOleInPlaceSiteEx

STDMETHODIMP CActiveXCtrl::OnInPlaceActivateEx(WINBOOL*, DWORD dwFlags) {
  if (m_pOwner == nullptr || m_pOwner->m_pUnk == nullptr) return E_UNEXPECTED;
  ::OleLockRunning(m_pOwner->m_pUnk.Get(), TRUE, FALSE);
  HRESULT hr = S_OK;
  if ((dwFlags & ACTIVATE_WINDOWLESS) == 0 || !ActivateWindowless()) {
    m_bWindowless = false;
    hr = CreateActiveXWnd();
    if (FAILED(hr)) return hr;
    hr = m_pOwner->m_pUnk->QueryInterface(IID_IOleInPlaceObject, &m_pInPlaceObject);
  }
  if (m_pInPlaceObject != nullptr && !m_pOwner->IsNoClose()) {
    RECT rc = m_pOwner->ObjectRect();
    m_pInPlaceObject->SetObjectRects(&rc, &rc);
  }
  m_bInPlaceActive = SUCCEEDED(hr);
  return hr;
}

// The manager's window hosts the object; it is fed the window's messages through the owner.
bool CActiveXCtrl::ActivateWindowless() {
  m_bWindowless = true;
  if (FAILED(m_pOwner->m_pUnk->QueryInterface(IID_IOleInPlaceObjectWindowless, &m_pInPlaceObject))) return false;
  CPaintManagerUI* manager = m_pOwner->GetManager();
  if (manager != nullptr) {
    m_pOwner->m_hwndHost = manager->GetPaintWindow();
    manager->RemoveMessageFilter(m_pOwner);
    manager->AddMessageFilter(m_pOwner);
  }
  return true;
}

STDMETHODIMP CActiveXCtrl::OnInPlaceDeactivateEx(WINBOOL) {
  m_bInPlaceActive = false;
  m_pInPlaceObject.Reset();
  if (m_pWindow != nullptr && m_pOwner != nullptr) m_pOwner->m_hwndHost = nullptr;
  DestroyActiveXWnd();
  return S_OK;
}

STDMETHODIMP CActiveXCtrl::RequestUIActivate() { return S_OK; }

HRESULT CActiveXCtrl::CreateActiveXWnd() {
  if (m_pWindow != nullptr) return S_OK;
  m_pWindow = new (std::nothrow) CActiveXWnd;
  if (m_pWindow == nullptr) return E_OUTOFMEMORY;
  CPaintManagerUI* manager = m_pOwner->GetManager();
  m_pOwner->m_hwndHost = m_pWindow->Init(this, manager != nullptr ? manager->GetPaintWindow() : nullptr);
  if (m_pOwner->m_hwndHost != nullptr) return S_OK;
  DestroyActiveXWnd();
  return E_FAIL;
}

void CActiveXCtrl::DestroyActiveXWnd() {
  if (m_pWindow == nullptr) return;
  if (m_pWindow->GetHWND() != nullptr) ::DestroyWindow(m_pWindow->GetHWND());
  delete m_pWindow;
  m_pWindow = nullptr;
}

}  // namespace SkinUI
