#include "ui/extra/anim/ring.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CRingUI::CRingUI() : m_fCurAngle(0.0f) {}

CRingUI::~CRingUI() {
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kTimerId);
}

const wchar_t* CRingUI::GetClass() const { return L"RingUI"; }

LPVOID CRingUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"Ring") == 0) return static_cast<CRingUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

void CRingUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && wcscmp(pstrName, L"bkimage") == 0)
    SetBkImage(pstrValue);
  else
    CLabelUI::SetAttribute(pstrName, pstrValue);
}

// The spinning stops with the image: it starts again when a paint loads the new one.
void CRingUI::SetBkImage(const wchar_t* pStrImage) {
  if (m_sBkImage == pStrImage) return;
  m_sBkImage = pStrImage;
  ForgetImage();
  Invalidate();
}

// The name may also change through the base control (its SetBkImage, or the attribute spelt
// otherwise), which the ring does not hear of: each paint and tick looks.
bool CRingUI::ImageNameChanged() const { return m_sLoadedName != m_sBkImage.GetData(); }

void CRingUI::ForgetImage() {
  m_sLoadedName = m_sBkImage;
  m_pBkimage.reset();
  if (m_pManager != nullptr) m_pManager->KillTimer(this, kTimerId);
}

void CRingUI::DoEvent(EventRecordUI& event) {
  if (event.Type != UIEVENT_TIMER || event.wParam != kTimerId) {
    CLabelUI::DoEvent(event);
    return;
  }
  if (ImageNameChanged()) {
    ForgetImage();
    Invalidate();
    return;
  }
  if (m_fCurAngle > 359.0f) m_fCurAngle = 0.0f;
  m_fCurAngle += 36.0f;
  Invalidate();
}

void CRingUI::PaintBkImage(HDC hDC) {
  if (ImageNameChanged()) ForgetImage();
  if (m_pBkimage == nullptr) {
    m_pBkimage.reset(CRenderEngine::GdiplusLoadImage(m_sBkImage.GetData()));
    if (m_pBkimage != nullptr && m_pManager != nullptr) m_pManager->SetTimer(this, kTimerId, 100);
  }
  if (m_pBkimage != nullptr) DrawRotated(hDC);
}

void CRingUI::DrawRotated(HDC hDC) {
  GdipGraphics graphics;
  if (!graphics.Made(gdip::GdipCreateFromHDC(hDC, graphics.out()))) return;
  const int width = m_rcItem.right - m_rcItem.left;
  const int height = m_rcItem.bottom - m_rcItem.top;
  const float cx = static_cast<float>(m_rcItem.left + width / 2);
  const float cy = static_cast<float>(m_rcItem.top + height / 2);
  gdip::GdipTranslateWorldTransform(graphics.get(), cx, cy, Gdiplus::MatrixOrderPrepend);
  gdip::GdipRotateWorldTransform(graphics.get(), m_fCurAngle, Gdiplus::MatrixOrderPrepend);
  gdip::GdipTranslateWorldTransform(graphics.get(), -cx, -cy, Gdiplus::MatrixOrderPrepend);
  gdip::GdipDrawImageRectI(graphics.get(), m_pBkimage.get(), m_rcItem.left, m_rcItem.top, width, height);
}

}  // namespace SkinUI
