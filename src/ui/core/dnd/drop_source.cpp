#include "ui/core/dnd/drag_drop.h"

#include <shlguid.h>

namespace SkinUI {

HRESULT STDMETHODCALLTYPE CIDropSource::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDropSource) return E_NOINTERFACE;
  *ppvObject = static_cast<IDropSource*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CIDropSource::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_cRefCount)); }

ULONG STDMETHODCALLTYPE CIDropSource::Release() {
  LONG left = ::InterlockedDecrement(&m_cRefCount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CIDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) {
  if (fEscapePressed) return DRAGDROP_S_CANCEL;
  if ((grfKeyState & (MK_LBUTTON | MK_RBUTTON)) != 0) return S_OK;
  m_bDropped = true;
  return DRAGDROP_S_DROP;
}

HRESULT STDMETHODCALLTYPE CIDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

CDragSourceHelper::CDragSourceHelper() : pDragSourceHelper(nullptr) {
  void* helper = nullptr;
  if (SUCCEEDED(
          ::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper, &helper))) {
    pDragSourceHelper = static_cast<IDragSourceHelper*>(helper);
  }
}

CDragSourceHelper::~CDragSourceHelper() {
  if (pDragSourceHelper != nullptr) pDragSourceHelper->Release();
}

HRESULT CDragSourceHelper::InitializeFromBitmap(HBITMAP hBitmap, POINT& pt, RECT& rc, IDataObject* pDataObject,
                                                COLORREF crColorKey) {
  if (pDragSourceHelper == nullptr) return E_FAIL;
  BITMAP bm = {};
  if (::GetObjectW(hBitmap, sizeof(bm), &bm) == 0) return E_FAIL;
  SHDRAGIMAGE image = {};
  image.sizeDragImage.cx = bm.bmWidth;
  image.sizeDragImage.cy = bm.bmHeight;
  image.ptOffset.x = pt.x - rc.left;
  image.ptOffset.y = pt.y - rc.top;
  image.hbmpDragImage = hBitmap;
  image.crColorKey = crColorKey;
  return pDragSourceHelper->InitializeFromBitmap(&image, pDataObject);
}

}  // namespace SkinUI
