#include "ui/core/paint/control/control.h"
#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

bool CRenderEngine::DrawImageString(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                    const wchar_t* pStrImage, const wchar_t* pStrModify, HINSTANCE instance) {
  if (pManager == nullptr || hDC == nullptr) return false;
  const ImageDrawInfo* info = pManager->GetDrawInfo(pStrImage, pStrModify);
  return DrawImageRecord(hDC, pManager, rcItem, rcPaint, info, instance);
}

bool CRenderEngine::DrawImageRecord(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                    const ImageDrawInfo* pDrawInfo, HINSTANCE instance) {
  if (pManager == nullptr || hDC == nullptr || pDrawInfo == nullptr) return false;
  RECT dest = rcItem;
  const RECT& d = pDrawInfo->rcDest;
  if (d.left != 0 || d.top != 0 || d.right != 0 || d.bottom != 0) {
    dest.left = rcItem.left + d.left;
    dest.top = rcItem.top + d.top;
    dest.right = rcItem.left + d.right < rcItem.right ? rcItem.left + d.right : rcItem.right;
    dest.bottom = rcItem.top + d.bottom < rcItem.bottom ? rcItem.top + d.bottom : rcItem.bottom;
  }
  return DrawImageInfo(hDC, pManager, rcItem, rcPaint, pDrawInfo->sImageName, pDrawInfo->sResType, dest,
                       pDrawInfo->rcSource, pDrawInfo->rcCorner, pDrawInfo->dwMask, pDrawInfo->uFade, pDrawInfo->bHole,
                       pDrawInfo->bTiledX, pDrawInfo->bTiledY, instance);
}

bool CRenderEngine::DrawImageInfo(HDC hDC, CPaintManagerUI* pManager, const RECT& rcItem, const RECT& rcPaint,
                                  const CUIString& sImageName, const CUIString& sImageResType, RECT rcDest,
                                  RECT rcSource, RECT rcCorner, DWORD dwMask, BYTE bFade, bool bHole, bool bTiledX,
                                  bool bTiledY, HINSTANCE instance) {
  if (pManager == nullptr || hDC == nullptr || sImageName.IsEmpty()) return false;
  const wchar_t* type = sImageResType.IsEmpty() ? nullptr : sImageResType.GetData();
  const ImageInfo* image = pManager->GetImageEx(sImageName.GetData(), type, dwMask, false, instance);
  if (image == nullptr || image->hBitmap == nullptr) return false;
  if (rcSource.left == 0 && rcSource.top == 0 && rcSource.right == 0 && rcSource.bottom == 0) {
    rcSource.right = image->nX;
    rcSource.bottom = image->nY;
  }
  if (rcSource.right > image->nX) rcSource.right = image->nX;
  if (rcSource.bottom > image->nY) rcSource.bottom = image->nY;
  RECT tmp;
  if (!::IntersectRect(&tmp, &rcDest, &rcItem) || !::IntersectRect(&tmp, &rcDest, &rcPaint)) return true;
  bool alpha = pManager->IsLayered() ? true : image->bAlpha;
  DrawImage(hDC, image->hBitmap, rcDest, rcPaint, rcSource, rcCorner, alpha, bFade, bHole, bTiledX, bTiledY);
  return true;
}

HBITMAP CRenderEngine::PaintControlToBitmap(CPaintManagerUI* pManager, CControlUI* pControl, RECT rc) {
  if (pManager == nullptr || pControl == nullptr) return nullptr;
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0 || rc.right <= 0 || rc.bottom <= 0) return nullptr;
  HDC paintDC = pManager->GetPaintDC();
  MemoryDC paintMem(paintDC);
  GdiObject<HBITMAP> canvas(::CreateCompatibleBitmap(paintDC, rc.right, rc.bottom));
  if (paintMem.get() == nullptr || canvas.get() == nullptr) return nullptr;
  SelectGuard selectCanvas(paintMem.get(), canvas.get());
  pControl->DoPaint(paintMem.get(), rc);

  LPDWORD bits = nullptr;
  GdiObject<HBITMAP> result(CreateDibSection32(paintDC, width, height, &bits));
  MemoryDC resultMem(paintDC);
  if (result.get() == nullptr || resultMem.get() == nullptr) return nullptr;
  {
    SelectGuard selectResult(resultMem.get(), result.get());
    ::BitBlt(resultMem.get(), 0, 0, width, height, paintMem.get(), rc.left, rc.top, SRCCOPY);
  }
  return result.release();
}

}  // namespace SkinUI
