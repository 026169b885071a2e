#include "ui/core/controls/progress.h"

#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CProgressUI::CProgressUI()
    : m_bShowText(false), m_bHorizontal(true), m_bStretchForeImage(true), m_nMax(100), m_nMin(0), m_nValue(0) {
  m_uTextStyle = DT_SINGLELINE | DT_CENTER;
  m_cyFixed = 12;
}

CProgressUI::~CProgressUI() = default;

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

LPVOID CProgressUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Progress") == 0) return static_cast<CProgressUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

void CProgressUI::SetHorizontal(bool bHorizontal) {
  if (m_bHorizontal == bHorizontal) return;
  m_bHorizontal = bHorizontal;
  Invalidate();
}

void CProgressUI::SetStretchForeImage(bool bStretchForeImage) {
  if (m_bStretchForeImage == bStretchForeImage) return;
  m_bStretchForeImage = bStretchForeImage;
  Invalidate();
}

void CProgressUI::SetMinValue(int nMin) {
  m_nMin = nMin;
  Invalidate();
}

void CProgressUI::SetMaxValue(int nMax) {
  m_nMax = nMax;
  Invalidate();
}

void CProgressUI::SetValue(int nValue) {
  if (nValue == m_nValue || nValue < m_nMin || nValue > m_nMax) return;
  m_nValue = nValue;
  Invalidate();
  UpdateText();
}

void CProgressUI::UpdateText() {
  if (!m_bShowText) return;
  float share = static_cast<float>(m_nValue - m_nMin) * 100.0f / static_cast<float>(m_nMax - m_nMin);
  CUIString text;
  text.SmallFormat(L"%.0f%%", share);
  SetText(text.GetData());
}

void CProgressUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"hor") == 0)
    SetHorizontal(IsTrueValue(pstrValue));
  else if (_wcsicmp(pstrName, L"min") == 0)
    SetMinValue(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"max") == 0)
    SetMaxValue(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"value") == 0)
    SetValue(_wtoi(pstrValue));
  else if (_wcsicmp(pstrName, L"isstretchfore") == 0)
    SetStretchForeImage(IsTrueValue(pstrValue));
  else
    CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CProgressUI::RepairRange() {
  if (m_nMax <= m_nMin) m_nMax = m_nMin + 1;
  if (m_nValue > m_nMax) m_nValue = m_nMax;
  if (m_nValue < m_nMin) m_nValue = m_nMin;
}

// In 64 bits: a range of millions times a long bar passes 2^31 before the division.
int CProgressUI::ShareOf(int length, int64_t part) const {
  return static_cast<int>(int64_t{length} * part / (int64_t{m_nMax} - m_nMin));
}

void CProgressUI::PaintForeColor(HDC hDC) {
  if (m_dwForeColor == 0) return;
  RepairRange();
  RECT rc = m_rcItem;
  if (m_bHorizontal) {
    rc.right = m_rcItem.left + ShareOf(m_rcItem.right - m_rcItem.left, int64_t{m_nValue} - m_nMin);
  } else {
    rc.top = m_rcItem.top + ShareOf(m_rcItem.bottom - m_rcItem.top, int64_t{m_nMax} - m_nValue);
  }
  CRenderEngine::DrawColor(hDC, rc, AdjustColor(m_dwForeColor));
}

void CProgressUI::PaintForeImage(HDC hDC) {
  if (m_sForeImage.IsEmpty()) return;
  RepairRange();
  const int width = m_rcItem.right - m_rcItem.left;
  const int height = m_rcItem.bottom - m_rcItem.top;
  int shown = width;
  int top = 0;
  if (m_bHorizontal)
    shown = ShareOf(width, int64_t{m_nValue} - m_nMin);
  else
    top = ShareOf(height, int64_t{m_nMax} - m_nValue);
  const int scale = m_pManager != nullptr ? m_pManager->GetDPIObject()->GetScale() : 100;
  const int w = MulDiv(shown, 100, scale);
  const int rest = MulDiv(height - top, 100, scale);
  const int t = MulDiv(top, 100, scale);
  if (m_bStretchForeImage) {
    m_sForeImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", 0, t, w, t + rest);
  } else {
    m_sForeImageModify.SmallFormat(L"dest='%d,%d,%d,%d' source='%d,%d,%d,%d'", 0, t, w, t + rest, 0, t, w, t + rest);
  }
  DrawImage(hDC, m_sForeImage.GetData(), m_sForeImageModify.GetData());
}

}  // namespace SkinUI
