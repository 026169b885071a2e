#include "ui/core/paint/control/scrollbar.h"

#include <cwchar>

#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

CScrollBarUI::CScrollBarUI()
    : m_bHorizontal(false),
      m_nRange(100),
      m_nScrollPos(0),
      m_nLineSize(8),
      m_pOwner(nullptr),
      m_ptLastMouse{0, 0},
      m_nLastScrollPos(0),
      m_nLastScrollOffset(0),
      m_nScrollRepeatDelay(0),
      m_bShowButton1(true),
      m_uButton1State(0),
      m_bShowButton2(true),
      m_uButton2State(0),
      m_uThumbState(0) {
  m_cxFixed = 16;
}

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBarUI"; }

LPVOID CScrollBarUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ScrollBar") == 0) return this;
  return CControlUI::GetInterface(pstrName);
}

void CScrollBarUI::SetHorizontal(bool bHorizontal) {
  if (m_bHorizontal == bHorizontal) return;
  m_bHorizontal = bHorizontal;
  if (m_bHorizontal && m_cyFixed == 0) {
    m_cxFixed = 0;
    m_cyFixed = 16;
  } else if (!m_bHorizontal && m_cxFixed == 0) {
    m_cxFixed = 16;
    m_cyFixed = 0;
  }
  if (m_pOwner != nullptr)
    m_pOwner->NeedUpdate();
  else
    NeedParentUpdate();
}

void CScrollBarUI::SetScrollRange(int nRange) {
  if (m_nRange == nRange) return;
  m_nRange = nRange < 0 ? 0 : nRange;
  if (m_nScrollPos > m_nRange) m_nScrollPos = m_nRange;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetScrollPos(int nPos) {
  if (m_nScrollPos == nPos) return;
  m_nScrollPos = nPos < 0 ? 0 : nPos > m_nRange ? m_nRange : nPos;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetShowButton1(bool bShow) {
  m_bShowButton1 = bShow;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetShowButton2(bool bShow) {
  m_bShowButton2 = bShow;
  SetPos(m_rcItem, true);
}

void CScrollBarUI::SetImage(Part part, Look look, const wchar_t* pStrImage) {
  m_images[part][look] = pStrImage;
  Invalidate();
}

void CScrollBarUI::SetVisible(bool bVisible) {
  if (m_bVisible == bVisible) return;
  m_bVisible = bVisible;
  m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!bEnable) m_uButton1State = m_uButton2State = m_uThumbState = 0;
}

void CScrollBarUI::SetFocus() {
  if (m_pOwner != nullptr)
    m_pOwner->SetFocus();
  else
    CControlUI::SetFocus();
}

void CScrollBarUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);  // the program's size delegates may delete this bar
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (alive) PlaceParts();
}

// Lays buttons and thumb along the bar: computed on the bar's axis, then turned into rectangles.
void CScrollBarUI::PlaceParts() {
  int thick = m_bHorizontal ? GetFixedHeight() : GetFixedWidth();
  int start = m_bHorizontal ? m_rcItem.left : m_rcItem.top;
  int end = m_bHorizontal ? m_rcItem.right : m_rcItem.bottom;
  int across = m_bHorizontal ? m_rcItem.top : m_rcItem.left;
  auto span = [this, across, thick](int from, int to) {
    return m_bHorizontal ? CUIRect(from, across, to, across + thick) : CUIRect(across, from, across + thick, to);
  };
  auto point = [this, across](int at) {
    return m_bHorizontal ? CUIRect(at, across, at, across) : CUIRect(across, at, across, at);
  };
  // In 64 bits: a rectangle from skin values far apart (an inset near the int limits) has a length
  // that overflows an int.
  const long long length = static_cast<long long>(end) - start;
  const long long track = length - (m_bShowButton1 ? thick : 0) - (m_bShowButton2 ? thick : 0);
  if (thick >= track) {
    int half = thick < length / 2 ? thick : static_cast<int>(length / 2);
    m_rcButton1 = m_bShowButton1 ? span(start, start + half) : point(start);
    m_rcButton2 = m_bShowButton2 ? span(end - half, end) : point(end);
    m_rcThumb = CUIRect();
    return;
  }
  int b1End = m_bShowButton1 ? start + thick : start;
  int b2Start = m_bShowButton2 ? end - thick : end;
  m_rcButton1 = m_bShowButton1 ? span(start, b1End) : point(start);
  m_rcButton2 = m_bShowButton2 ? span(b2Start, end) : point(end);
  if (m_nRange < 1) {
    m_rcThumb = span(b1End, b2Start);
    return;
  }
  long long thumb = length * track / (m_nRange + length);
  if (thumb < thick) thumb = thick;
  int from = b1End + static_cast<int>((track - thumb) * m_nScrollPos / m_nRange);
  int to = static_cast<int>(from + thumb);
  if (to > b2Start) {
    to = b2Start;
    from = static_cast<int>(to - thumb);
  }
  m_rcThumb = span(from, to);
}

void CScrollBarUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  static const wchar_t* const kParts[] = {L"bk", L"button1", L"button2", L"thumb", L"rail"};
  static const Part kPartIds[] = {kBackground, kButton1, kButton2, kThumb, kRail};
  static const wchar_t* const kLooks[] = {L"normalimage", L"hotimage", L"pushedimage", L"disabledimage"};
  for (int p = 0; p < 5; ++p) {
    size_t prefix = wcslen(kParts[p]);
    if (_wcsnicmp(pstrName, kParts[p], prefix) != 0) continue;
    for (int l = 0; l < kLookCount; ++l) {
      if (_wcsicmp(pstrName + prefix, kLooks[l]) == 0) {
        SetImage(kPartIds[p], static_cast<Look>(l), pstrValue);
        return;
      }
    }
  }
  bool isTrue = _wcsicmp(pstrValue, L"true") == 0;
  if (_wcsicmp(pstrName, L"hor") == 0)
    SetHorizontal(isTrue);
  else if (_wcsicmp(pstrName, L"linesize") == 0)
    SetLineSize(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"range") == 0)
    SetScrollRange(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"value") == 0)
    SetScrollPos(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"showbutton1") == 0)
    SetShowButton1(isTrue);
  else if (_wcsicmp(pstrName, L"showbutton2") == 0)
    SetShowButton2(isTrue);
  else
    CControlUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
