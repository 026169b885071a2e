#include "ui/core/control.h"

namespace SkinUI {

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
    if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintForeColor(hDC);
    PaintForeImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
}

// The plain control draws no colours, images, text or border of its own yet: those come with
// the render engine's primitives.
void CControlUI::PaintBkColor(HDC) {}
void CControlUI::PaintBkImage(HDC) {}
void CControlUI::PaintStatusImage(HDC) {}
void CControlUI::PaintForeColor(HDC) {}
void CControlUI::PaintForeImage(HDC) {}
void CControlUI::PaintText(HDC) {}
void CControlUI::PaintBorder(HDC) {}
void CControlUI::DoPostPaint(HDC, const RECT&) {}

}  // namespace SkinUI
