#include "ui/extra/anim/roll_text.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

const UINT kRollStyle = DT_WORDBREAK | DT_EDITCONTROL;

bool IsHorizontal(int direction) { return direction == CRollTextUI::kLeft || direction == CRollTextUI::kRight; }

}  // namespace

CRollTextUI::CRollTextUI() : m_nStep(5), m_nScrollPos(0), m_nRollDirection(kLeft), m_nText_W_H(0) {}

CRollTextUI::~CRollTextUI() {
  // The builder deletes a control it could not place before any manager knew it.
  if (m_pManager == nullptr) return;
  m_pManager->KillTimer(this, kEndTimerId);
  m_pManager->KillTimer(this, kRepaintTimerId);
}

const wchar_t* CRollTextUI::GetClass() const { return L"RollTextUI"; }

LPVOID CRollTextUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"RollText") == 0) return static_cast<CRollTextUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

void CRollTextUI::SetText(const wchar_t* pstrText) {
  CLabelUI::SetText(pstrText);
  m_nText_W_H = 0;
}

void CRollTextUI::SetPos(RECT rc) {
  CControlWatch alive(this);  // the program's size delegates may delete this control
  CControlUI::SetPos(rc, true);
  if (alive) m_nText_W_H = 0;
}

void CRollTextUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_TIMER && event.wParam == kEndTimerId && m_pManager != nullptr) {
    m_pManager->KillTimer(this, kEndTimerId);
    // The receiver may delete this control.
    CControlWatch alive(this);
    m_pManager->SendNotify(this, L"textrollend");
    if (!alive) return;
  } else if (event.Type == UIEVENT_TIMER && event.wParam == kRepaintTimerId) {
    Invalidate();
    return;
  }
  CLabelUI::DoEvent(event);
}

RECT CRollTextUI::PlaceText(RECT rc, int n) {
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  const int extent = IsHorizontal(m_nRollDirection) ? width : height;
  // The text enters at the far edge and leaves at the near one, then starts again.
  switch (m_nRollDirection) {
    case kLeft:
      ::OffsetRect(&rc, width - m_nScrollPos, 0);
      break;
    case kRight:
      ::OffsetRect(&rc, m_nScrollPos - width, 0);
      break;
    case kUp:
      ::OffsetRect(&rc, 0, height - m_nScrollPos);
      break;
    default:
      ::OffsetRect(&rc, 0, m_nScrollPos - height);
      break;
  }
  if (IsHorizontal(m_nRollDirection))
    rc.right += n - width;
  else
    rc.bottom += n - height;
  m_nScrollPos += m_nStep;
  if (m_nScrollPos > extent + n) m_nScrollPos = 0;
  return rc;
}

void CRollTextUI::DrawRollText(HDC hDC, RECT& rc, DWORD color, UINT style) {
  CUIString text = GetText();
  if (m_bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), color, nullptr, nullptr, links, style);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, style);
  }
}

void CRollTextUI::PaintText(HDC hDC) {
  TakeDefaultColors();
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if (GetText().IsEmpty()) return;
  RECT rc = ScaledTextRect();
  if (m_nText_W_H > 0) {
    rc = PlaceText(rc, m_nText_W_H);
    DrawRollText(hDC, rc, color, kRollStyle);
    return;
  }
  // This paint measures the text along its direction and shows nothing.
  if (IsHorizontal(m_nRollDirection))
    rc.right += 10000;
  else
    rc.bottom += 10000;
  DrawRollText(hDC, rc, color, kRollStyle | DT_CALCRECT);
  m_nText_W_H = IsHorizontal(m_nRollDirection) ? rc.right - rc.left : rc.bottom - rc.top;
}

}  // namespace SkinUI
