#include <cwchar>

#include "ui/core/dnd/drag_drop.h"

namespace SkinUI {

FORMATETC CopyFormatEtc(const FORMATETC& src) {
  FORMATETC copy = src;
  if (src.ptd != nullptr) {
    copy.ptd = static_cast<DVTARGETDEVICE*>(::CoTaskMemAlloc(src.ptd->tdSize));
    if (copy.ptd != nullptr) memcpy(copy.ptd, src.ptd, src.ptd->tdSize);
  }
  return copy;
}

void FreeFormatEtc(FORMATETC& format) {
  if (format.ptd != nullptr) ::CoTaskMemFree(format.ptd);
  format.ptd = nullptr;
}

CIDataObject::CIDataObject(CIDropSource* pDropSource) : m_pDropSource(pDropSource), m_cRefCount(0) {}

CIDataObject::~CIDataObject() {
  for (FORMATETC& format : m_ArrFormatEtc) FreeFormatEtc(format);
  for (STGMEDIUM& medium : m_StgMedium) ::ReleaseStgMedium(&medium);
}

HRESULT STDMETHODCALLTYPE CIDataObject::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDataObject) return E_NOINTERFACE;
  *ppvObject = static_cast<IDataObject*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CIDataObject::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_cRefCount)); }

ULONG STDMETHODCALLTYPE CIDataObject::Release() {
  LONG left = ::InterlockedDecrement(&m_cRefCount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

bool CIDataObject::CopyMedium(STGMEDIUM& dest, const STGMEDIUM& src, const FORMATETC& format) {
  STGMEDIUM copy = {};
  copy.tymed = src.tymed;
  switch (src.tymed) {
    case TYMED_HGLOBAL:
      // Plain memory whatever the clipboard format says.
      copy.hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(src.hGlobal, 0, 0));
      if (copy.hGlobal == nullptr) return false;
      break;
    case TYMED_GDI:
      copy.hBitmap = static_cast<HBITMAP>(
          ::OleDuplicateData(src.hBitmap, format.cfFormat == CF_PALETTE ? CF_PALETTE : CF_BITMAP, 0));
      if (copy.hBitmap == nullptr) return false;
      break;
    case TYMED_MFPICT:
      copy.hMetaFilePict = static_cast<HMETAFILEPICT>(::OleDuplicateData(src.hMetaFilePict, CF_METAFILEPICT, 0));
      if (copy.hMetaFilePict == nullptr) return false;
      break;
    case TYMED_ENHMF:
      copy.hEnhMetaFile = static_cast<HENHMETAFILE>(::OleDuplicateData(src.hEnhMetaFile, CF_ENHMETAFILE, 0));
      if (copy.hEnhMetaFile == nullptr) return false;
      break;
    case TYMED_FILE: {
      if (src.lpszFileName == nullptr) return false;
      size_t bytes = (wcslen(src.lpszFileName) + 1) * sizeof(wchar_t);
      copy.lpszFileName = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
      if (copy.lpszFileName == nullptr) return false;
      memcpy(copy.lpszFileName, src.lpszFileName, bytes);
      break;
    }
    case TYMED_ISTREAM:
      copy.pstm = src.pstm;
      if (copy.pstm != nullptr) copy.pstm->AddRef();
      break;
    case TYMED_ISTORAGE:
      copy.pstg = src.pstg;
      if (copy.pstg != nullptr) copy.pstg->AddRef();
      break;
    default:
      break;
  }
  copy.pUnkForRelease = src.pUnkForRelease;
  if (copy.pUnkForRelease != nullptr) copy.pUnkForRelease->AddRef();
  dest = copy;
  return true;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) {
  if (pformatetcIn == nullptr || pmedium == nullptr) return E_INVALIDARG;
  pmedium->hGlobal = nullptr;
  for (size_t i = 0; i < m_ArrFormatEtc.size(); ++i) {
    const FORMATETC& stored = m_ArrFormatEtc[i];
    if ((stored.tymed & pformatetcIn->tymed) == 0 || stored.dwAspect != pformatetcIn->dwAspect ||
        stored.cfFormat != pformatetcIn->cfFormat) {
      continue;
    }
    return CopyMedium(*pmedium, m_StgMedium[i], stored) ? S_OK : E_OUTOFMEMORY;
  }
  return DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CIDataObject::QueryGetData(FORMATETC* pformatetc) {
  if (pformatetc == nullptr) return E_INVALIDARG;
  if ((pformatetc->dwAspect & DVASPECT_CONTENT) == 0) return DV_E_DVASPECT;
  HRESULT hr = DV_E_TYMED;
  for (const FORMATETC& stored : m_ArrFormatEtc) {
    if ((stored.tymed & pformatetc->tymed) == 0) {
      hr = DV_E_TYMED;
      continue;
    }
    if (stored.cfFormat == pformatetc->cfFormat) return S_OK;
    hr = DV_E_CLIPFORMAT;
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE CIDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* pformatetcOut) {
  if (pformatetcOut == nullptr) return E_INVALIDARG;
  return DATA_S_SAMEFORMATETC;
}

HRESULT STDMETHODCALLTYPE CIDataObject::SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) {
  if (pformatetc == nullptr || pmedium == nullptr) return E_INVALIDARG;
  STGMEDIUM stored = {};
  if (fRelease)
    stored = *pmedium;
  else if (!CopyMedium(stored, *pmedium, *pformatetc))
    return E_OUTOFMEMORY;
  m_ArrFormatEtc.push_back(CopyFormatEtc(*pformatetc));
  m_StgMedium.push_back(stored);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) {
  if (ppenumFormatEtc == nullptr) return E_POINTER;
  *ppenumFormatEtc = nullptr;
  if (dwDirection != DATADIR_GET) return E_NOTIMPL;
  CEnumFormatEtc* formats = new CEnumFormatEtc(m_ArrFormatEtc);
  formats->AddRef();
  *ppenumFormatEtc = formats;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CIDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CIDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

CEnumFormatEtc::CEnumFormatEtc(const std::vector<FORMATETC>& formats, ULONG index) : m_cRefCount(0), m_iCur(index) {
  for (const FORMATETC& format : formats) m_pFmtEtc.push_back(CopyFormatEtc(format));
}

CEnumFormatEtc::~CEnumFormatEtc() {
  for (FORMATETC& format : m_pFmtEtc) FreeFormatEtc(format);
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::QueryInterface(REFIID riid, void** ppvObject) {
  if (ppvObject == nullptr) return E_POINTER;
  *ppvObject = nullptr;
  if (riid != IID_IUnknown && riid != IID_IEnumFORMATETC) return E_NOINTERFACE;
  *ppvObject = static_cast<IEnumFORMATETC*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE CEnumFormatEtc::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&m_cRefCount)); }

ULONG STDMETHODCALLTYPE CEnumFormatEtc::Release() {
  LONG left = ::InterlockedDecrement(&m_cRefCount);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) {
  if (celt == 0 || rgelt == nullptr || (celt != 1 && pceltFetched == nullptr)) return S_FALSE;
  ULONG given = 0;
  while (given < celt && m_iCur < m_pFmtEtc.size()) rgelt[given++] = CopyFormatEtc(m_pFmtEtc[m_iCur++]);
  if (pceltFetched != nullptr) *pceltFetched = given;
  return given == celt ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG celt) {
  if (m_iCur + celt >= m_pFmtEtc.size()) return S_FALSE;
  m_iCur += celt;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset() {
  m_iCur = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** ppCloneEnumFormatEtc) {
  if (ppCloneEnumFormatEtc == nullptr) return E_POINTER;
  CEnumFormatEtc* clone = new CEnumFormatEtc(m_pFmtEtc, m_iCur);
  clone->AddRef();
  *ppCloneEnumFormatEtc = clone;
  return S_OK;
}

}  // namespace SkinUI
