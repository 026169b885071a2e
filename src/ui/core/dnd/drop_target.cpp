#include "ui/core/dnd/drag_drop.h"

#include <shlguid.h>

namespace SkinUI {

namespace {

FORMATETC Accepted(CLIPFORMAT format, DWORD tymed) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed}; }

}  // namespace

CIDropTarget::CIDropTarget()
    : m_lRefCount(1),
      m_bAllowDrop(false),
      m_pDropTargetHelper(nullptr),
      m_iSupportedFrmt(-1),
      m_hTargetWnd(nullptr),
      m_bRegistered(false) {}

CIDropTarget::~CIDropTarget() {
  RevokeDropTarget();
  if (m_pDropTargetHelper != nullptr) m_pDropTargetHelper->Release();
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDropTarget) return E_NOINTERFACE;
  *ppvObject = static_cast<IDropTarget*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_lRefCount)); }

// The window owns the target: the count only tracks the platform's references.
ULONG STDMETHODCALLTYPE CIDropTarget::Release() { return static_cast<ULONG>(::InterlockedDecrement(&m_lRefCount)); }

bool CIDropTarget::RegisterDropTarget() {
  if (m_bRegistered) return true;
  if (m_hTargetWnd == nullptr || FAILED(::RegisterDragDrop(m_hTargetWnd, this))) return false;
  m_bRegistered = true;
  if (m_pDropTargetHelper == nullptr) {
    void* helper = nullptr;
    if (SUCCEEDED(
            ::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper, &helper))) {
      m_pDropTargetHelper = static_cast<IDropTargetHelper*>(helper);
    }
  }
  if (m_formatetc.empty()) {
    AddSuportedFormat(Accepted(CF_BITMAP, TYMED_GDI));
    AddSuportedFormat(Accepted(CF_DIB, TYMED_HGLOBAL));
    AddSuportedFormat(Accepted(CF_HDROP, TYMED_HGLOBAL));
    AddSuportedFormat(Accepted(CF_ENHMETAFILE, TYMED_ENHMF));
  }
  return true;
}

// The platform keeps a reference to a registered target until it is revoked, which needs the window.
void CIDropTarget::RevokeDropTarget() {
  if (!m_bRegistered) return;
  m_bRegistered = false;
  if (::IsWindow(m_hTargetWnd)) ::RevokeDragDrop(m_hTargetWnd);
}

void CIDropTarget::AddSuportedFormat(const FORMATETC& ftetc) { m_formatetc.push_back(ftetc); }

bool CIDropTarget::QueryDrop(DWORD grfKeyState, LPDWORD pdwEffect) {
  const DWORD allowed = *pdwEffect;
  *pdwEffect = DROPEFFECT_NONE;
  if (!m_bAllowDrop) return false;
  DWORD wanted = DROPEFFECT_NONE;
  if ((grfKeyState & MK_CONTROL) != 0)
    wanted = (grfKeyState & MK_SHIFT) != 0 ? DROPEFFECT_LINK : DROPEFFECT_COPY;
  else if ((grfKeyState & MK_SHIFT) != 0)
    wanted = DROPEFFECT_MOVE;
  if (wanted != DROPEFFECT_NONE) {
    if ((allowed & wanted) == 0) return false;
    *pdwEffect = wanted;
    return true;
  }
  for (DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
    if ((allowed & effect) != 0) {
      *pdwEffect = effect;
      return true;
    }
  }
  return false;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt,
                                                  DWORD* pdwEffect) {
  if (pDataObj == nullptr || pdwEffect == nullptr) return E_INVALIDARG;
  if (m_pDropTargetHelper != nullptr) {
    POINT at = {pt.x, pt.y};
    m_pDropTargetHelper->DragEnter(m_hTargetWnd, pDataObj, &at, *pdwEffect);
  }
  m_iSupportedFrmt = -1;
  m_bAllowDrop = false;
  for (size_t i = 0; i < m_formatetc.size(); ++i) {
    if (pDataObj->QueryGetData(&m_formatetc[i]) == S_OK) {
      m_iSupportedFrmt = static_cast<int>(i);
      m_bAllowDrop = true;
      break;
    }
  }
  QueryDrop(grfKeyState, pdwEffect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) {
  if (pdwEffect == nullptr) return E_INVALIDARG;
  if (m_pDropTargetHelper != nullptr) {
    POINT at = {pt.x, pt.y};
    m_pDropTargetHelper->DragOver(&at, *pdwEffect);
  }
  QueryDrop(grfKeyState, pdwEffect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave() {
  if (m_pDropTargetHelper != nullptr) m_pDropTargetHelper->DragLeave();
  m_bAllowDrop = false;
  m_iSupportedFrmt = -1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) {
  if (pDataObj == nullptr || pdwEffect == nullptr) return E_INVALIDARG;
  if (m_pDropTargetHelper != nullptr) {
    POINT at = {pt.x, pt.y};
    m_pDropTargetHelper->Drop(pDataObj, &at, *pdwEffect);
  }
  if (QueryDrop(grfKeyState, pdwEffect) && m_bAllowDrop && m_iSupportedFrmt >= 0) {
    FORMATETC format = m_formatetc[static_cast<size_t>(m_iSupportedFrmt)];
    STGMEDIUM medium = {};
    if (pDataObj->GetData(&format, &medium) == S_OK && OnDrop(&format, medium, pdwEffect)) {
      ::ReleaseStgMedium(&medium);
    }
  }
  m_bAllowDrop = false;
  *pdwEffect = DROPEFFECT_NONE;
  m_iSupportedFrmt = -1;
  return S_OK;
}

}  // namespace SkinUI
