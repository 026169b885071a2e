// dnd/: OLE drag and drop: the drop target that every paint manager is, the data object, the drop
// source and the picture of a dropped file. Uses base only.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shobjidl.h>

#include <vector>

namespace SkinUI {

// The window's OLE drop target: accepts the first of its formats that the dragged data offers
// and hands the dropped medium to OnDrop. Owned by its window, not by its COM references.
class CIDropTarget : public IDropTarget {
 public:
  CIDropTarget();
  CIDropTarget(const CIDropTarget&) = delete;
  CIDropTarget& operator=(const CIDropTarget&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect) override;
  virtual ~CIDropTarget();
  // The dropped medium in the chosen format; true when the caller is to release it.
  virtual bool OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD* pdwEffect) = 0;

  void SetTargetWnd(HWND hWnd) { m_hTargetWnd = hWnd; }
  bool RegisterDropTarget();
  void RevokeDropTarget();
  bool IsDropTargetRegistered() const { return m_bRegistered; }
  void AddSuportedFormat(const FORMATETC& ftetc);
  // The effect for these keys among the allowed ones in *pdwEffect; false when none.
  bool QueryDrop(DWORD grfKeyState, LPDWORD pdwEffect);

 private:
  LONG m_lRefCount;
  bool m_bAllowDrop;
  IDropTargetHelper* m_pDropTargetHelper;
  std::vector<FORMATETC> m_formatetc;
  int m_iSupportedFrmt;  // index into m_formatetc of the format chosen for this drag, or -1
  HWND m_hTargetWnd;
  bool m_bRegistered;
};

class CIDropSource;

// Data offered by a drag out of a framework window: owned copies of formats and media.
class CIDataObject final : public IDataObject {
 public:
  explicit CIDataObject(CIDropSource* pDropSource);
  CIDataObject(const CIDataObject&) = delete;
  CIDataObject& operator=(const CIDataObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* pformatetc, STGMEDIUM* pmedium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pformatetc) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* pformatectIn, FORMATETC* pformatetcOut) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* pformatetc, STGMEDIUM* pmedium, BOOL fRelease) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dwDirection, IEnumFORMATETC** ppenumFormatEtc) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink,
                                    DWORD* pdwConnection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD dwConnection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenumAdvise) override;

  // A copy of a medium: handles duplicated, interfaces shared; false when it cannot be made.
  static bool CopyMedium(STGMEDIUM& dest, const STGMEDIUM& src, const FORMATETC& format);

 private:
  ~CIDataObject();

  CIDropSource* m_pDropSource;
  LONG m_cRefCount;
  std::vector<FORMATETC> m_ArrFormatEtc;
  std::vector<STGMEDIUM> m_StgMedium;
};

// Enumerates copies of a data object's formats.
class CEnumFormatEtc final : public IEnumFORMATETC {
 public:
  explicit CEnumFormatEtc(const std::vector<FORMATETC>& formats, ULONG index = 0);
  CEnumFormatEtc(const CEnumFormatEtc&) = delete;
  CEnumFormatEtc& operator=(const CEnumFormatEtc&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppCloneEnumFormatEtc) override;

 private:
  ~CEnumFormatEtc();

  LONG m_cRefCount;
  std::vector<FORMATETC> m_pFmtEtc;
  ULONG m_iCur;
};

// Ends the drag when the mouse buttons are up, cancels it on Escape.
class CIDropSource final : public IDropSource {
 public:
  CIDropSource() : m_cRefCount(0), m_bDropped(false) {}
  CIDropSource(const CIDropSource&) = delete;
  CIDropSource& operator=(const CIDropSource&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD dwEffect) override;

  bool IsDropped() const { return m_bDropped; }

 private:
  ~CIDropSource() = default;

  LONG m_cRefCount;
  bool m_bDropped;
};

// The platform's drag-image helper, when it can be created.
class CDragSourceHelper {
 public:
  CDragSourceHelper();
  ~CDragSourceHelper();
  CDragSourceHelper(const CDragSourceHelper&) = delete;
  CDragSourceHelper& operator=(const CDragSourceHelper&) = delete;

  // Shows the bitmap under the cursor at pt's offset from rc's top-left; on success the helper
  // owns the bitmap.
  HRESULT InitializeFromBitmap(HBITMAP hBitmap, POINT& pt, RECT& rc, IDataObject* pDataObject,
                               COLORREF crColorKey = ::GetSysColor(COLOR_WINDOW));

 private:
  IDragSourceHelper* pDragSourceHelper;
};

// A format record with its own copy of the target device (freed with FreeFormatEtc).
FORMATETC CopyFormatEtc(const FORMATETC& src);
void FreeFormatEtc(FORMATETC& format);

}  // namespace SkinUI
