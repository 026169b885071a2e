#include <cstdlib>
#include <cwchar>

#include "ui/core/base/gdi_handles.h"
#include "ui/core/base/gdiplus_handles.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

// "&#xe601;" names one UTF-16 unit: up to four units behind the first "&#x", less a trailing
// blank and ";".
wchar_t CharacterReference(const wchar_t* text) {
  const wchar_t* start = wcsstr(text, L"&#x") + 3;
  wchar_t digits[5] = {0};
  int n = 0;
  while (n < 4 && start[n] != L'\0') {
    digits[n] = start[n];
    ++n;
  }
  if (n > 0 && digits[n - 1] == L' ') digits[--n] = L'\0';
  if (n > 0 && digits[n - 1] == L';') digits[--n] = L'\0';
  return static_cast<wchar_t>(wcstoul(digits, nullptr, 16));
}

void DrawTextGdi(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font, UINT style) {
  int oldMode = ::SetBkMode(hDC, TRANSPARENT);
  COLORREF oldColor = ::SetTextColor(hDC, ArgbToColorRef(color));
  // A DC that holds the font already keeps it: the paint manager paints with the window's default
  // font selected, so most texts spare a font selection and its undoing.
  HFONT hFont = manager->GetFont(font);
  SelectGuard select(hDC, ::GetCurrentObject(hDC, OBJ_FONT) != hFont ? hFont : nullptr);
  if (wcsstr(text, L"&#x") != nullptr) {
    wchar_t ch = CharacterReference(text);
    if (ch != 0) ::DrawTextW(hDC, &ch, 1, &rc, style);
  } else {
    ::DrawTextW(hDC, text, -1, &rc, style);
  }
  ::SetTextColor(hDC, oldColor);
  ::SetBkMode(hDC, oldMode);
}

int FormatFlags(Gdiplus::GpStringFormat* format, UINT style) {
  INT flags = 0;
  gdip::GdipGetStringFormatFlags(format, &flags);
  flags &= ~(Gdiplus::StringFormatFlagsNoClip | Gdiplus::StringFormatFlagsNoWrap);
  if ((style & DT_NOCLIP) != 0) flags |= Gdiplus::StringFormatFlagsNoClip;
  if ((style & DT_SINGLELINE) != 0) flags |= Gdiplus::StringFormatFlagsNoWrap;
  return flags;
}

// False when GDI+ cannot take the font (a face it does not know as a family), so that the
// caller draws with GDI instead of drawing nothing.
bool DrawTextGdiplus(HDC hDC, CPaintManagerUI* manager, RECT& rc, const wchar_t* text, DWORD color, int font,
                     UINT style) {
  GdipGraphics graphics;
  if (!graphics.Made(gdip::GdipCreateFromHDC(hDC, graphics.out()))) return false;
  GdipFont gpFont;
  {
    SelectGuard select(hDC, manager->GetFont(font));
    if (!gpFont.Made(gdip::GdipCreateFontFromDC(hDC, gpFont.out()))) return false;
  }
  int hint = manager->GetGdiplusTextRenderingHint();
  gdip::GdipSetTextRenderingHint(graphics.get(),
                                 static_cast<Gdiplus::TextRenderingHint>(hint >= 0 && hint <= 5 ? hint : 0));
  gdip::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeHighQuality);
  gdip::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);

  Gdiplus::GpStringFormat* generic = nullptr;
  gdip::GdipStringFormatGetGenericTypographic(&generic);
  GdipStringFormat format;
  if (generic == nullptr || !format.Made(gdip::GdipCloneStringFormat(generic, format.out()))) return false;
  if ((style & DT_END_ELLIPSIS) != 0)
    gdip::GdipSetStringFormatTrimming(format.get(), Gdiplus::StringTrimmingEllipsisCharacter);
  gdip::GdipSetStringFormatFlags(format.get(), FormatFlags(format.get(), style));
  gdip::GdipSetStringFormatAlign(format.get(), (style & DT_CENTER) != 0  ? Gdiplus::StringAlignmentCenter
                                               : (style & DT_RIGHT) != 0 ? Gdiplus::StringAlignmentFar
                                                                         : Gdiplus::StringAlignmentNear);
  gdip::GdipSetStringFormatLineAlign(format.get(), (style & DT_VCENTER) != 0  ? Gdiplus::StringAlignmentCenter
                                                   : (style & DT_BOTTOM) != 0 ? Gdiplus::StringAlignmentFar
                                                                              : Gdiplus::StringAlignmentNear);
  Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top),
                        static_cast<Gdiplus::REAL>(rc.right - rc.left), static_cast<Gdiplus::REAL>(rc.bottom - rc.top));
  if ((style & DT_CALCRECT) != 0) {
    Gdiplus::RectF bounds;
    if (gdip::GdipMeasureString(graphics.get(), text, -1, gpFont.get(), &layout, format.get(), &bounds, nullptr,
                                nullptr) != Gdiplus::Ok) {
      return false;
    }
    rc.right = rc.left + static_cast<LONG>(bounds.Width) + 1;
    rc.bottom = rc.top + static_cast<LONG>(bounds.Height) + 1;
    return true;
  }
  GdipSolidBrush brush;
  if (!brush.Made(gdip::GdipCreateSolidFill(0xFE000000 | (color & 0x00FFFFFF), brush.out()))) return false;
  return gdip::GdipDrawString(graphics.get(), text, -1, gpFont.get(), &layout, format.get(), brush.get()) ==
         Gdiplus::Ok;
}

}  // namespace

void CRenderEngine::DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText, DWORD dwTextColor,
                             int iFont, UINT uStyle) {
  if (hDC == nullptr || pManager == nullptr || pstrText == nullptr) return;
  bool gdiplus = pManager->IsLayered() || pManager->IsUseGdiplusText();
  if (!gdiplus || !DrawTextGdiplus(hDC, pManager, rc, pstrText, dwTextColor, iFont, uStyle)) {
    DrawTextGdi(hDC, pManager, rc, pstrText, dwTextColor, iFont, uStyle);
  }
}

void CRenderEngine::DrawTextOnColor(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText,
                                    DWORD dwTextColor, int iFont, UINT uStyle, DWORD dwTextBKColor) {
  DrawColor(hDC, rc, dwTextBKColor);
  DrawText(hDC, pManager, rc, pstrText, dwTextColor, iFont, uStyle);
}

}  // namespace SkinUI
