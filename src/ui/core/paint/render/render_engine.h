// paint/render/: the render engine: images, text, HTML text, primitives and clips. It draws with a
// paint manager's fonts and images: one layer with manager/ and control/ (see paint.h).
#pragma once
#include <windows.h>

#include "ui/core/base/ui_string.h"

namespace Gdiplus {
class GpImage;
}

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

// A name or a 16-bit resource id.
class STRINGorID {
 public:
  STRINGorID(const wchar_t* name) : m_lpstr(name) {}
  STRINGorID(UINT id) : m_lpstr(MAKEINTRESOURCEW(id)) {}
  const wchar_t* m_lpstr;
};

// One loaded image: a 32-bit top-down premultiplied DIB section.
struct ImageInfo {
  HBITMAP hBitmap;
  LPBYTE pBits;
  LPBYTE pSrcBits;
  int nX;
  int nY;
  bool bAlpha;
  CUIString sResType;
  DWORD dwMask;
  bool bUseHSL;
};

// One parsed image attribute string, such as "file='a.png' source='0,0,10,10' corner='2,2,2,2'".
struct ImageDrawInfo {
  CUIString sDrawString;
  CUIString sDrawModify;
  CUIString sImageName;
  CUIString sResType;
  RECT rcDest;
  RECT rcSource;
  RECT rcCorner;
  DWORD dwMask;
  BYTE uFade;
  bool bHole;
  bool bTiledX;
  bool bTiledY;
  bool bHSL;

  ImageDrawInfo() { Clear(); }
  void Clear();
  void Parse(const wchar_t* pStrImage, const wchar_t* pStrModify, CPaintManagerUI* pManager);
};

// Loads skin images and draws images, text and primitives into device contexts.
class CRenderEngine {
 public:
  // Images.
  static ImageInfo* LoadImage(STRINGorID bitmap, const wchar_t* type = nullptr, DWORD mask = 0,
                              HINSTANCE instance = nullptr);
  static ImageInfo* LoadImageByName(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0,
                                    HINSTANCE instance = nullptr);
  static ImageInfo* LoadImageById(UINT id, const wchar_t* type, DWORD mask = 0, HINSTANCE instance = nullptr);
  static void FreeImage(ImageInfo* bitmap, bool bDelete = true);
  static Gdiplus::GpImage* GdiplusLoadImage(const wchar_t* name);
  static HBITMAP CreateDibSection32(HDC hDC, int cx, int cy, LPDWORD* pBits);
  static HBITMAP PaintControlToBitmap(CPaintManagerUI* pManager, CControlUI* pControl, RECT rc);

  static bool DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                              const wchar_t* pStrImage, const wchar_t* pStrModify = nullptr,
                              HINSTANCE instance = nullptr);
  static bool DrawImageRecord(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                              const ImageDrawInfo* pDrawInfo, HINSTANCE instance = nullptr);
  static bool DrawImageInfo(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                            const CUIString& sImageName, const CUIString& sImageResType, RECT rcDest, RECT rcSource,
                            RECT rcCorner, DWORD dwMask, BYTE bFade, bool bHole, bool bTiledX, bool bTiledY,
                            HINSTANCE instance = nullptr);
  static void DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                        const RECT& rcCorners, bool bAlpha, BYTE uFade = 255, bool bHole = false, bool bTiledX = false,
                        bool bTiledY = false);

  // Colour adjustment by hue (degrees, 180 = unchanged), saturation and lightness (percent).
  static void AdjustImage(bool bUseHSL, ImageInfo* imageInfo, short H, short S, short L);
  static DWORD AdjustColor(DWORD dwColor, short H, short S, short L);

  // Primitives; colours are ARGB.
  static void NudgeBlackColor(DWORD& clr);
  static void DrawColor(HDC hDC, const RECT& rc, DWORD color);
  static void DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps);
  static void DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
  static void DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle = PS_SOLID);
  static void DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor,
                            int nStyle = PS_SOLID);

  // Text.
  static void DrawText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText, DWORD dwTextColor,
                       int iFont, UINT uStyle);
  static void DrawTextOnColor(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText, DWORD dwTextColor,
                              int iFont, UINT uStyle, DWORD dwTextBKColor);
  static void DrawHtmlText(HDC hDC, CPaintManagerUI* pManager, RECT& rc, const wchar_t* pstrText, DWORD dwTextColor,
                           RECT* pLinks, CUIString* sLinks, int& nLinkRects, UINT uStyle);
};

}  // namespace SkinUI
