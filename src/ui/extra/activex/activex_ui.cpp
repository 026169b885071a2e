#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/activex/activex.h"
#include "ui/extra/activex/activex_site_internal.h"

namespace SkinUI {

namespace {

// Pixels of the screen in HIMETRIC units (0.01 mm), as OLE extents are given.
SIZEL PixelsToHimetric(int cx, int cy) {
  HDC screen = ::GetDC(nullptr);
  SIZEL size = {::MulDiv(2540, cx, ::GetDeviceCaps(screen, LOGPIXELSX)),
                ::MulDiv(2540, cy, ::GetDeviceCaps(screen, LOGPIXELSY))};
  ::ReleaseDC(nullptr, screen);
  return size;
}

}  // namespace

CActiveXUI::CActiveXUI()
    : m_clsid(IID_NULL),
      m_bCreated(false),
      m_bDelayCreate(true),
      m_bNoClose(false),
      m_pControl(nullptr),
      m_hwndHost(nullptr) {}

CActiveXUI::~CActiveXUI() { ReleaseControl(); }

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveXUI"; }

LPVOID CActiveXUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"ActiveX") == 0) return static_cast<CActiveXUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

bool CActiveXUI::IsDelayCreate() const { return m_bDelayCreate; }

void CActiveXUI::SetDelayCreate(bool bDelayCreate) {
  if (m_bDelayCreate == bDelayCreate) return;
  // The creation's "showactivex" may reach a receiver that deletes this control.
  CControlWatch alive(this);
  if (!bDelayCreate && !m_bCreated && !::IsEqualCLSID(m_clsid, IID_NULL)) DoCreateControl();
  if (alive) m_bDelayCreate = bDelayCreate;
}

bool CActiveXUI::IsNoClose() const { return m_bNoClose; }
void CActiveXUI::SetNoClose(bool bNoClose) { m_bNoClose = bNoClose; }

bool CActiveXUI::CreateControl(const CLSID clsid) {
  if (::IsEqualCLSID(clsid, IID_NULL)) return false;
  m_clsid = clsid;
  m_bCreated = false;
  if (!m_bDelayCreate) DoCreateControl();
  return true;
}

// "{...}" is a CLSID text, anything else a program id.
bool CActiveXUI::CreateControl(const wchar_t* pstrCLSID) {
  CLSID clsid = IID_NULL;
  if (pstrCLSID != nullptr) {
    wchar_t text[100] = {};
    wcsncpy(text, pstrCLSID, 99);
    HRESULT hr = text[0] == L'{' ? ::CLSIDFromString(text, &clsid) : ::CLSIDFromProgID(text, &clsid);
    if (FAILED(hr)) clsid = IID_NULL;
  }
  return CreateControl(clsid);
}

void CActiveXUI::SetModuleName(const wchar_t* pstrText) { m_sModuleName = pstrText; }

HRESULT CActiveXUI::GetControl(const IID iid, LPVOID* ppRet) {
  if (ppRet == nullptr) return E_POINTER;
  if (m_pUnk == nullptr) return E_PENDING;
  return m_pUnk->QueryInterface(iid, ppRet);
}

void CActiveXUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (wcscmp(pstrName, L"clsid") == 0)
    CreateControl(pstrValue);
  else if (wcscmp(pstrName, L"modulename") == 0)
    SetModuleName(pstrValue);
  else if (wcscmp(pstrName, L"delaycreate") == 0)
    SetDelayCreate(wcscmp(pstrValue, L"true") == 0);
  else
    CControlUI::SetAttribute(pstrName, pstrValue);
}

RECT CActiveXUI::ObjectRect() const {
  CUIRect rc = m_rcItem;
  if (m_pControl != nullptr && !m_pControl->IsWindowless()) rc.MoveToOrigin();
  return rc;
}

void CActiveXUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!alive) return;
  if (!m_bCreated) DoCreateControl();
  if (!alive || m_pUnk == nullptr || m_pControl == nullptr) return;
  SIZEL extent = PixelsToHimetric(m_rcItem.GetWidth(), m_rcItem.GetHeight());
  m_pUnk->SetExtent(DVASPECT_CONTENT, &extent);
  if (m_pControl->InPlaceObject() != nullptr) {
    RECT rcObject = ObjectRect();
    m_pControl->InPlaceObject()->SetObjectRects(&rcObject, &rcObject);
  }
  MoveHostWindow();
}

void CActiveXUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  CControlUI::Move(szOffset, bNeedInvalidate);
  MoveHostWindow();
}

void CActiveXUI::MoveHostWindow() {
  if (m_pControl == nullptr || m_pControl->IsWindowless() || m_hwndHost == nullptr) return;
  ::MoveWindow(m_hwndHost, m_rcItem.left, m_rcItem.top, m_rcItem.GetWidth(), m_rcItem.GetHeight(), TRUE);
}

// Hiding the focused control moves the focus: the receiver of "killfocus" may delete it.
void CActiveXUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (alive) ShowHostWindow();
}

void CActiveXUI::SetInternalVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetInternalVisible(bVisible);
  if (alive) ShowHostWindow();
}

void CActiveXUI::ShowHostWindow() {
  if (m_hwndHost == nullptr || m_pControl == nullptr || m_pControl->IsWindowless()) return;
  ::ShowWindow(m_hwndHost, IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT rcTemp;
  if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) return;
  if (m_pControl == nullptr || m_pControl->WindowlessObject() == nullptr) return;
  m_pControl->Draw(hDC, m_rcItem);
}

}  // namespace SkinUI
