#include "ui/extra/slider/slider.h"

#include <cstdint>
#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"

namespace SkinUI {

CSliderUI::CSliderUI() : m_szThumb(10, 10), m_uThumbState(0), m_nStep(1), m_bSendMove(false) {
  m_uTextStyle = DT_SINGLELINE | DT_CENTER;
}

CSliderUI::~CSliderUI() = default;

const wchar_t* CSliderUI::GetClass() const { return L"SliderUI"; }

LPVOID CSliderUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Slider") == 0) return static_cast<CSliderUI*>(this);
  return CProgressUI::GetInterface(pstrName);
}

void CSliderUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uThumbState = 0;
}

void CSliderUI::SetValue(int nValue) {
  if (IsThumbCaptured()) return;
  CProgressUI::SetValue(nValue);
}

bool CSliderUI::IsThumbCaptured() const { return (m_uThumbState & UISTATE_CAPTURED) != 0; }

void CSliderUI::SetThumbImage(const wchar_t* pStrImage) {
  m_sThumbImage = pStrImage;
  Invalidate();
}

void CSliderUI::SetThumbHotImage(const wchar_t* pStrImage) {
  m_sThumbHotImage = pStrImage;
  Invalidate();
}

void CSliderUI::SetThumbPushedImage(const wchar_t* pStrImage) {
  m_sThumbPushedImage = pStrImage;
  Invalidate();
}

void CSliderUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"thumbimage") == 0) {
    SetThumbImage(pstrValue);
  } else if (_wcsicmp(pstrName, L"thumbhotimage") == 0) {
    SetThumbHotImage(pstrValue);
  } else if (_wcsicmp(pstrName, L"thumbpushedimage") == 0) {
    SetThumbPushedImage(pstrValue);
  } else if (_wcsicmp(pstrName, L"thumbsize") == 0) {
    long size[2];
    ReadNumberList(pstrValue, size, 2);
    SetThumbSize(CUISize(size[0], size[1]));
  } else if (_wcsicmp(pstrName, L"step") == 0) {
    SetChangeStep(_wtoi(pstrValue));
  } else if (_wcsicmp(pstrName, L"sendmove") == 0) {
    SetCanSendMove(IsTrueValue(pstrValue));
  } else {
    CProgressUI::SetAttribute(pstrName, pstrValue);
  }
}

SIZE CSliderUI::ScaledThumbSize() const { return SIZE{ScaleValue(m_szThumb.cx), ScaleValue(m_szThumb.cy)}; }

RECT CSliderUI::GetThumbRect() const {
  const SIZE thumb = ScaledThumbSize();
  // A range that is empty before the first paint repairs it counts as one step; a track shorter
  // than the thumb keeps the thumb at its start.
  const int64_t range = GetMaxValue() > GetMinValue() ? int64_t{GetMaxValue()} - GetMinValue() : 1;
  const int64_t offset = int64_t{GetValue()} - GetMinValue();
  // In 64 bits: a range of millions over a long track passes 2^31 before the division.
  auto along = [&](int track) { return track > 0 ? static_cast<int>(offset * track / range) : 0; };
  RECT rc;
  if (IsHorizontal()) {
    rc.left = m_rcItem.left + along(m_rcItem.right - m_rcItem.left - thumb.cx);
    rc.top = (m_rcItem.top + m_rcItem.bottom - thumb.cy) / 2;
  } else {
    rc.left = (m_rcItem.left + m_rcItem.right - thumb.cx) / 2;
    rc.top = m_rcItem.bottom - along(m_rcItem.bottom - m_rcItem.top - thumb.cy) - thumb.cy;
  }
  rc.right = rc.left + thumb.cx;
  rc.bottom = rc.top + thumb.cy;
  return rc;
}

void CSliderUI::PaintForeImage(HDC hDC) {
  CProgressUI::PaintForeImage(hDC);
  RECT rc = GetThumbRect();
  ::OffsetRect(&rc, -m_rcItem.left, -m_rcItem.top);
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->ScaleBack(&rc);
  m_sImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", rc.left, rc.top, rc.right, rc.bottom);
  bool drawn = false;
  if (IsThumbCaptured() && !m_sThumbPushedImage.IsEmpty()) {
    drawn = DrawImage(hDC, m_sThumbPushedImage.GetData(), m_sImageModify.GetData());
  } else if ((m_uThumbState & UISTATE_HOT) != 0 && !m_sThumbHotImage.IsEmpty()) {
    drawn = DrawImage(hDC, m_sThumbHotImage.GetData(), m_sImageModify.GetData());
  }
  if (!drawn && !m_sThumbImage.IsEmpty()) DrawImage(hDC, m_sThumbImage.GetData(), m_sImageModify.GetData());
}

}  // namespace SkinUI
