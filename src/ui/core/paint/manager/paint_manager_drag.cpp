#include "ui/core/paint/control/control.h"
#include "ui/core/dnd/dropped_image.h"
#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

// A window that shows pictures (a static control) keeps the one it is handed and answers it to
// STM_GETIMAGE; the framework's own windows answer neither, and the picture would be nobody's.
bool CPaintManagerUI::SendDroppedImage(HBITMAP hBitmap) {
  if (hBitmap == nullptr) return false;
  HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
      ::SendMessageW(m_hWndPaint, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  if (previous != nullptr && previous != hBitmap) ::DeleteObject(previous);
  return ::SendMessageW(m_hWndPaint, STM_GETIMAGE, IMAGE_BITMAP, 0) == reinterpret_cast<LRESULT>(hBitmap);
}

void CPaintManagerUI::SendMadeImage(HBITMAP hBitmap) {
  if (hBitmap != nullptr && !SendDroppedImage(hBitmap)) ::DeleteObject(hBitmap);
}

bool CPaintManagerUI::OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD*) {
  // The drag swallowed the button release: the window gets one where the cursor is, in client
  // coordinates like every other mouse message.
  POINT pt = {0, 0};
  ::GetCursorPos(&pt);
  ::ScreenToClient(m_hWndPaint, &pt);
  ::SendMessageW(m_hWndPaint, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  if (pFmtEtc == nullptr) return true;
  const CLIPFORMAT format = pFmtEtc->cfFormat;
  if (format == CF_DIB && medium.tymed == TYMED_HGLOBAL) {
    SendMadeImage(BitmapFromDibMemory(medium.hGlobal));
  } else if (format == CF_BITMAP && medium.tymed == TYMED_GDI) {
    // A window that keeps the bitmap keeps the medium; otherwise the medium is released.
    return !SendDroppedImage(medium.hBitmap);
  } else if (format == CF_HDROP && medium.tymed == TYMED_HGLOBAL) {
    CUIString path;
    if (FirstDroppedFile(medium.hGlobal, path)) SendMadeImage(BitmapFromBitmapFile(path.GetData()));
  } else if (format == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
    SendMadeImage(BitmapFromEnhMetaFile(medium.hEnhMetaFile));
  }
  return true;
}

// Drags the picture of the pressed control, made at the press, as a bitmap and a metafile.
void CPaintManagerUI::DragControlPicture() {
  ReleaseCapture();
  CIDropSource* source = new CIDropSource;
  source->AddRef();
  CIDataObject* data = new CIDataObject(source);
  data->AddRef();

  FORMATETC bitmapFormat = {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
  STGMEDIUM bitmapMedium = {};
  bitmapMedium.tymed = TYMED_GDI;
  bitmapMedium.hBitmap = m_hDragBitmap;
  data->SetData(&bitmapFormat, &bitmapMedium, FALSE);  // the data object keeps its own copy

  BITMAP bm = {};
  ::GetObjectW(m_hDragBitmap, sizeof(bm), &bm);
  HDC emfDC = ::CreateEnhMetaFileW(m_hDcPaint, nullptr, nullptr, nullptr);
  if (emfDC != nullptr) {
    {
      MemoryDC memory(m_hDcPaint);
      SelectGuard select(memory.get(), m_hDragBitmap);
      ::BitBlt(emfDC, 0, 0, bm.bmWidth, bm.bmHeight, memory.get(), 0, 0, SRCCOPY);
    }
    FORMATETC emfFormat = {CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
    STGMEDIUM emfMedium = {};
    emfMedium.tymed = TYMED_ENHMF;
    emfMedium.hEnhMetaFile = ::CloseEnhMetaFile(emfDC);
    if (emfMedium.hEnhMetaFile != nullptr) data->SetData(&emfFormat, &emfMedium, TRUE);
  }
  {
    CDragSourceHelper helper;
    POINT hotSpot = {bm.bmWidth / 2, bm.bmHeight / 2};
    RECT area = {0, 0, bm.bmWidth, bm.bmHeight};
    // The helper takes the bitmap it is given: it gets a copy of its own.
    HBITMAP image = static_cast<HBITMAP>(::OleDuplicateData(m_hDragBitmap, CF_BITMAP, 0));
    if (image != nullptr && FAILED(helper.InitializeFromBitmap(image, hotSpot, area, data))) ::DeleteObject(image);
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  }
  data->Release();
  source->Release();
  m_bDragMode = false;
}

}  // namespace SkinUI
