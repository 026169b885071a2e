#pragma once
#include <windows.h>

#include "ui/core/ui_string.h"

namespace SkinUI {

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

// One parsed image attribute string.
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
};

class CRenderEngine {
public:
    static ImageInfo* LoadImage(STRINGorID bitmap, const wchar_t* type = nullptr, DWORD mask = 0, HINSTANCE instance = nullptr);
    static void FreeImage(ImageInfo* bitmap, bool bDelete = true);
    static HBITMAP CreateDibSection32(HDC hDC, int cx, int cy, LPDWORD* pBits);
};

}  // namespace SkinUI
