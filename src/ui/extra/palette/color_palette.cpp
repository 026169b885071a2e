#include "ui/extra/palette/color_palette.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/palette/palette_pixels_internal.h"

namespace SkinUI {

CColorPaletteUI::Canvas::Canvas(HDC compatibleWith)
    : dc(compatibleWith),
      bitmap(CRenderEngine::CreateDibSection32(dc.get(), kPaletteWidth, -kPaletteHeight, &bits)),
      select(dc.get(), bitmap.get()) {}

CColorPaletteUI::CColorPaletteUI()
    : m_uButtonState(0),
      m_bIsInBar(false),
      m_bIsInPallet(false),
      m_nCurH(180),
      m_nCurS(200),
      m_nCurB(100),
      m_nPalletHeight(200),
      m_nBarHeight(10),
      m_ptLastPalletMouse(0, 0) {}

CColorPaletteUI::~CColorPaletteUI() = default;

const wchar_t* CColorPaletteUI::GetClass() const { return L"ColorPaletteUI"; }

LPVOID CColorPaletteUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"ColorPalette") == 0) return static_cast<CColorPaletteUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

void CColorPaletteUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (wcscmp(pstrName, L"palletheight") == 0)
    SetPalletHeight(_wtoi(pstrValue));
  else if (wcscmp(pstrName, L"barheight") == 0)
    SetBarHeight(_wtoi(pstrValue));
  else if (wcscmp(pstrName, L"thumbimage") == 0)
    SetThumbImage(pstrValue);
  else
    CControlUI::SetAttribute(pstrName, pstrValue);
}

void CColorPaletteUI::SetPalletHeight(int nHeight) { m_nPalletHeight = nHeight; }

void CColorPaletteUI::SetBarHeight(int nHeight) {
  m_nBarHeight = nHeight > kBarMaxHeight ? kBarMaxHeight : (nHeight < 0 ? 0 : nHeight);
}

void CColorPaletteUI::SetThumbImage(const wchar_t* pszImage) {
  if (pszImage == nullptr || m_strThumbImage == pszImage) return;
  m_strThumbImage = pszImage;
  NeedUpdate();
}

void CColorPaletteUI::DoInit() {
  m_canvas.reset();
  if (m_pManager == nullptr) return;
  auto canvas = std::make_unique<Canvas>(m_pManager->GetPaintDC());
  if (canvas->dc.get() != nullptr && canvas->bits != nullptr) m_canvas = std::move(canvas);
}

RECT CColorPaletteUI::FieldRect() const {
  return RECT{m_rcItem.left, m_rcItem.top, m_rcItem.right, m_rcItem.top + ScaleValue(m_nPalletHeight)};
}

RECT CColorPaletteUI::BarRect() const {
  return RECT{m_rcItem.left, m_rcItem.bottom - ScaleValue(m_nBarHeight), m_rcItem.right, m_rcItem.bottom};
}

void CColorPaletteUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);  // the program's size delegates may delete this control
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!alive) return;
  const RECT field = FieldRect();
  m_ptLastPalletMouse.x = field.left + (field.right - field.left) * m_nCurH / 360;
  m_ptLastPalletMouse.y = field.top + (200 - m_nCurB) * (field.bottom - field.top) / 200;
  UpdatePalletData();
  UpdateBarData();
}

void CColorPaletteUI::PaintBkColor(HDC hDC) { PaintPallet(hDC); }

void CColorPaletteUI::PaintPallet(HDC hDC) {
  if (m_canvas == nullptr) return;
  const int saved = ::SaveDC(hDC);
  ::SetStretchBltMode(hDC, HALFTONE);
  ::SetBrushOrgEx(hDC, 0, 0, nullptr);
  const RECT field = FieldRect();
  const RECT bar = BarRect();
  ::StretchBlt(hDC, field.left, field.top, field.right - field.left, field.bottom - field.top, m_canvas->dc.get(), 0,
               kFieldTop, kFieldWidth, kFieldHeight, SRCCOPY);
  ::StretchBlt(hDC, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, m_canvas->dc.get(), 0, kBarTop,
               kBarWidth, m_nBarHeight, SRCCOPY);
  DrawThumb(hDC, m_ptLastPalletMouse);
  DrawThumb(hDC, POINT{bar.left + (bar.right - bar.left) * m_nCurS / 200, (bar.top + bar.bottom) / 2});
  ::RestoreDC(hDC, saved);
}

void CColorPaletteUI::DrawThumb(HDC hDC, POINT centre) {
  if (m_strThumbImage.IsEmpty()) return;
  const RECT thumb = {centre.x - 4, centre.y - 4, centre.x + 4, centre.y + 4};
  CRenderEngine::DrawImageString(hDC, m_pManager, thumb, m_rcPaint, m_strThumbImage.GetData());
}

}  // namespace SkinUI
