#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {

template <class T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

void CControlUI::SetGradient(const wchar_t* pStrImage) {
  if (m_sGradient == (pStrImage != nullptr ? pStrImage : L"")) return;
  m_sGradient = pStrImage;
  Invalidate();
}

void CControlUI::SetBkColor(DWORD dwBackColor) {
  if (Store(m_dwBackColor, dwBackColor)) Invalidate();
}

void CControlUI::SetBkColor2(DWORD dwBackColor) {
  if (Store(m_dwBackColor2, dwBackColor)) Invalidate();
}

void CControlUI::SetBkColor3(DWORD dwBackColor) {
  if (Store(m_dwBackColor3, dwBackColor)) Invalidate();
}

void CControlUI::SetForeColor(DWORD dwForeColor) {
  if (Store(m_dwForeColor, dwForeColor)) Invalidate();
}

void CControlUI::SetBkImage(const wchar_t* pStrImage) {
  // A changed file under the same name is loaded again.
  if (m_pManager != nullptr) m_pManager->RemoveImage(pStrImage);
  if (m_sBkImage == (pStrImage != nullptr ? pStrImage : L"")) return;
  m_sBkImage = pStrImage;
  Invalidate();
}

void CControlUI::SetForeImage(const wchar_t* pStrImage) {
  if (m_sForeImage == (pStrImage != nullptr ? pStrImage : L"")) return;
  m_sForeImage = pStrImage;
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD dwBorderColor) {
  if (Store(m_dwBorderColor, dwBorderColor)) Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD dwBorderColor) {
  if (Store(m_dwFocusBorderColor, dwBorderColor)) Invalidate();
}

void CControlUI::SetColorHSL(bool bColorHSL) {
  if (Store(m_bColorHSL, bColorHSL)) Invalidate();
}

int CControlUI::GetBorderSize() const { return ScaleValue(m_nBorderSize); }

void CControlUI::SetBorderSize(int nSize) {
  if (Store(m_nBorderSize, nSize)) Invalidate();
}

// Each side is a width of its own, scaled on its own.
RECT CControlUI::GetBorderRectSize() const {
  RECT sides = {ScaleValue(m_rcBorderSize.left), ScaleValue(m_rcBorderSize.top), ScaleValue(m_rcBorderSize.right),
                ScaleValue(m_rcBorderSize.bottom)};
  return sides;
}

void CControlUI::SetBorderRectSize(RECT rc) {
  m_rcBorderSize = rc;
  Invalidate();
}

void CControlUI::SetLeftBorderSize(int nSize) {
  m_rcBorderSize.left = nSize;
  Invalidate();
}

void CControlUI::SetTopBorderSize(int nSize) {
  m_rcBorderSize.top = nSize;
  Invalidate();
}

void CControlUI::SetRightBorderSize(int nSize) {
  m_rcBorderSize.right = nSize;
  Invalidate();
}

void CControlUI::SetBottomBorderSize(int nSize) {
  m_rcBorderSize.bottom = nSize;
  Invalidate();
}

void CControlUI::SetBorderStyle(int nStyle) {
  m_nBorderStyle = nStyle;
  Invalidate();
}

SIZE CControlUI::GetBorderRound() const {
  CUISize round = m_cxyBorderRound;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&round);
  return round;
}

void CControlUI::SetBorderRound(SIZE cxyRound) {
  m_cxyBorderRound = cxyRound;
  Invalidate();
}

}  // namespace SkinUI
