// What the text services ask of their host: answers from the host's fields, requests carried
// out on the owning control and its window's paint manager. A call into the services that was
// running when the owner went ends with the owner's requests left undone.
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/richedit/richedit.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

namespace {

// {C5BDD8D0-D26E-11CE-A89E-00AA006CADC5}
const IID kIIDTextHost = {0xC5BDD8D0, 0xD26E, 0x11CE, {0xA8, 0x9E, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
const DWORD kScrollBarStyles = WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL;

void ShowBar(CScrollBarUI* bar, bool show) {
  if (bar != nullptr) bar->SetVisible(show);
}

}  // namespace

CScrollBarUI* CTxtWinHost::Bar(int which) const {
  if (m_pOwner == nullptr) return nullptr;
  return which == SB_VERT ? m_pOwner->GetVerticalScrollBar() : m_pOwner->GetHorizontalScrollBar();
}

HRESULT CTxtWinHost::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIIDTextHost)) {
    AddRef();
    *ppv = static_cast<ITextHost*>(this);
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG CTxtWinHost::AddRef() { return ++m_cRefs; }

ULONG CTxtWinHost::Release() {
  ULONG left = --m_cRefs;
  if (left == 0) delete this;
  return left;
}

HDC CTxtWinHost::TxGetDC() { return Manager() != nullptr ? Manager()->GetPaintDC() : m_hdcOwnerless; }

// The manager's paint DC stays with the manager.
INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

WINBOOL CTxtWinHost::TxShowScrollBar(INT fnBar, WINBOOL fShow) {
  if (fnBar == SB_VERT || fnBar == SB_BOTH) ShowBar(Bar(SB_VERT), fShow == TRUE);
  if (fnBar == SB_HORZ || fnBar == SB_BOTH) ShowBar(Bar(SB_HORZ), fShow == TRUE);
  return TRUE;
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT fuSBFlags, INT fuArrowflags) {
  if (m_pOwner == nullptr) return FALSE;
  const bool show = fuArrowflags != ESB_DISABLE_BOTH;
  if (fuSBFlags == SB_VERT) {
    m_pOwner->EnableScrollBar(true, Bar(SB_HORZ) != nullptr);
    ShowBar(Bar(SB_VERT), show);
  } else if (fuSBFlags == SB_HORZ) {
    m_pOwner->EnableScrollBar(Bar(SB_VERT) != nullptr, true);
    ShowBar(Bar(SB_HORZ), show);
  } else if (fuSBFlags == SB_BOTH) {
    m_pOwner->EnableScrollBar(true, true);
    ShowBar(Bar(SB_VERT), show);
    ShowBar(Bar(SB_HORZ), show);
  }
  return TRUE;
}

// The bar's range is what does not fit in the client area.
WINBOOL CTxtWinHost::TxSetScrollRange(INT fnBar, LONG nMinPos, INT nMaxPos, WINBOOL) {
  if (fnBar != SB_VERT && fnBar != SB_HORZ) return TRUE;
  CScrollBarUI* bar = Bar(fnBar);
  if (bar == nullptr) return TRUE;
  const LONG page = fnBar == SB_VERT ? m_rcClient.bottom - m_rcClient.top : m_rcClient.right - m_rcClient.left;
  const LONG range = nMaxPos - nMinPos - page;
  if (range <= 0) {
    bar->SetVisible(false);
  } else {
    bar->SetVisible(true);
    bar->SetScrollRange(range);
  }
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT fnBar, INT nPos, WINBOOL) {
  CScrollBarUI* bar = (fnBar == SB_VERT || fnBar == SB_HORZ) ? Bar(fnBar) : nullptr;
  if (bar != nullptr) bar->SetScrollPos(nPos);
  return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT prc, WINBOOL) {
  RECT rc = prc != nullptr ? *prc : m_rcClient;
  if (Manager() != nullptr) Manager()->Invalidate(rc);
}

void CTxtWinHost::TxViewChange(WINBOOL fUpdate) {
  if (m_pOwner != nullptr && m_pOwner->OnTxViewChanged(fUpdate != FALSE)) m_pOwner->Invalidate();
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP hbmp, INT xWidth, INT yHeight) {
  m_xWidthCaret = xWidth;
  m_yHeightCaret = yHeight;
  if (Manager() == nullptr) return FALSE;
  if (IsLayered()) return Manager()->CreateCaret(hbmp, xWidth, yHeight);
  return ::CreateCaret(Manager()->GetPaintWindow(), hbmp, xWidth, yHeight);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL fShow) {
  SetFlag(kCaretShown, fShow != FALSE);
  CPaintManagerUI* manager = Manager();
  if (manager == nullptr) return FALSE;
  if (!IsLayered()) {
    HWND hwnd = manager->GetPaintWindow();
    return fShow ? ::ShowCaret(hwnd) : ::HideCaret(hwnd);
  }
  if (manager->GetCaretOwner() == m_pOwner && (m_pOwner->IsReadOnly() || !m_pOwner->Activate())) {
    manager->ShowCaret(false);
    return TRUE;
  }
  return manager->ShowCaret(fShow == TRUE);
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
  if (Manager() == nullptr) return FALSE;
  if (!IsLayered()) return ::SetCaretPos(x, y);
  Manager()->SetCaretPos(m_pOwner, x, y);
  return TRUE;
}

WINBOOL CTxtWinHost::TxSetTimer(UINT idTimer, UINT uTimeout) {
  if (Manager() == nullptr) return FALSE;
  SetFlag(kTimerSet, true);
  return Manager()->SetTimer(m_pOwner, idTimer, uTimeout);
}

void CTxtWinHost::TxKillTimer(UINT idTimer) {
  if (Manager() != nullptr) Manager()->KillTimer(m_pOwner, idTimer);
  SetFlag(kTimerSet, false);
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(WINBOOL fCapture) {
  if (Manager() == nullptr)
    fCapture = FALSE;
  else if (fCapture)
    Manager()->SetCapture();
  else
    Manager()->ReleaseCapture();
  SetFlag(kCaptured, fCapture != FALSE);
}

void CTxtWinHost::TxSetFocus() {
  if (m_pOwner != nullptr) m_pOwner->SetFocus();
}

void CTxtWinHost::TxSetCursor(HCURSOR hcur, WINBOOL) { ::SetCursor(hcur); }

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT lppt) {
  return Manager() != nullptr && ::ScreenToClient(Manager()->GetPaintWindow(), lppt);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT lppt) {
  return Manager() != nullptr && ::ClientToScreen(Manager()->GetPaintWindow(), lppt);
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }
HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

HRESULT CTxtWinHost::TxGetClientRect(LPRECT prc) {
  *prc = m_rcClient;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT prc) {
  ::SetRectEmpty(prc);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** ppCF) {
  *ppCF = reinterpret_cast<const CHARFORMATW*>(&m_cf);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** ppPF) {
  *ppPF = reinterpret_cast<const PARAFORMAT*>(&m_pf);
  return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int nIndex) {
  DWORD color = ::GetSysColor(nIndex);
  CRenderEngine::NudgeBlackColor(color);
  return color;
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* pstyle) {
  *pstyle = (m_flags & kTransparent) != 0 ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* plength) {
  *plength = static_cast<DWORD>(m_cchTextMost);
  return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* pdwScrollBar) {
  *pdwScrollBar = m_dwStyle & kScrollBarStyles;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* pch) {
  *pch = m_chPasswordChar;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pcp) {
  *pcp = m_laccelpos;
  return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL lpExtent) {
  *lpExtent = m_sizelExtent;
  return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }
HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD dwMask, DWORD* pdwBits) {
  DWORD bits = 0;
  if ((m_flags & kRichText) != 0) bits |= TXTBIT_RICHTEXT;
  if ((m_dwStyle & ES_MULTILINE) != 0) bits |= TXTBIT_MULTILINE;
  if ((m_dwStyle & ES_READONLY) != 0) bits |= TXTBIT_READONLY;
  if ((m_dwStyle & ES_PASSWORD) != 0) bits |= TXTBIT_USEPASSWORD;
  if ((m_dwStyle & ES_NOHIDESEL) == 0) bits |= TXTBIT_HIDESELECTION;
  if ((m_flags & kAutoWordSelect) != 0) bits |= TXTBIT_AUTOWORDSEL;
  if (WrapsNow()) bits |= TXTBIT_WORDWRAP;
  if ((m_flags & kAllowBeep) != 0) bits |= TXTBIT_ALLOWBEEP;
  if ((m_flags & kSaveSelection) != 0) bits |= TXTBIT_SAVESELECTION;
  *pdwBits = bits & dwMask;
  return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD iNotify, void* pv) {
  if (iNotify == EN_REQUESTRESIZE && pv != nullptr) {
    const RECT& asked = static_cast<REQRESIZE*>(pv)->rc;
    RECT rc = {m_rcClient.left, m_rcClient.top, m_rcClient.left + asked.right, m_rcClient.top + asked.bottom};
    SetClientRect(&rc);
  }
  if (m_pOwner != nullptr) m_pOwner->OnTxNotify(iNotify, pv);
  return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }
void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* lSelBarWidth) {
  *lSelBarWidth = m_lSelBarWidth;
  return S_OK;
}

}  // namespace SkinUI
