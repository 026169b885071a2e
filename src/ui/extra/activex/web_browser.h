// The platform's web browser hosted on the ActiveX control, with its events, document host and
// download manager forwarded to a handler the host may install.
#pragma once
#include <windows.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <downloadmgr.h>

#include "ui/extra/activex/activex.h"

namespace SkinUI {

class CWebBrowserUI;

// The host's handler of a web browser control, not owned by it. Each operation gets the control
// first, then the arguments of the browser call it stands for; an operation not overridden answers
// as the control does without a handler.
class IWebBrowserHostHandler {
 public:
  virtual void BeforeNavigate2(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                               VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel) {}
  virtual void NavigateError(CWebBrowserUI*, IDispatch*, VARIANT* url, VARIANT* targetFrame, VARIANT* statusCode,
                             VARIANT_BOOL* cancel) {}
  virtual void NavigateComplete2(CWebBrowserUI*, IDispatch*, VARIANT* url) {}
  virtual void ProgressChange(CWebBrowserUI*, LONG progress, LONG progressMax) {}  // never called
  virtual void NewWindow3(CWebBrowserUI*, IDispatch** ppDisp, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext,
                          BSTR url) {}
  virtual void CommandStateChange(CWebBrowserUI*, long command, VARIANT_BOOL enable) {}
  virtual void TitleChange(CWebBrowserUI*, BSTR title) {}
  virtual void DocumentComplete(CWebBrowserUI*, IDispatch*, VARIANT* url) {}
  virtual HRESULT ShowContextMenu(CWebBrowserUI*, DWORD id, POINT* ppt, IUnknown* cmdTarget, IDispatch* object) {
    return S_FALSE;  // the browser's own menu
  }
  virtual HRESULT GetHostInfo(CWebBrowserUI*, DOCHOSTUIINFO* info) { return S_OK; }
  virtual HRESULT ShowUI(CWebBrowserUI*, DWORD id, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                         IOleInPlaceUIWindow*) {
    return S_OK;
  }
  virtual HRESULT HideUI(CWebBrowserUI*) { return S_OK; }
  virtual HRESULT UpdateUI(CWebBrowserUI*) { return S_OK; }
  virtual HRESULT EnableModeless(CWebBrowserUI*, WINBOOL enable) { return E_NOTIMPL; }
  virtual HRESULT OnDocWindowActivate(CWebBrowserUI*, WINBOOL activate) { return E_NOTIMPL; }
  virtual HRESULT OnFrameWindowActivate(CWebBrowserUI*, WINBOOL activate) { return E_NOTIMPL; }
  virtual HRESULT ResizeBorder(CWebBrowserUI*, LPCRECT border, IOleInPlaceUIWindow*, WINBOOL frameWindow) {
    return E_NOTIMPL;
  }
  virtual HRESULT TranslateAccelerator(CWebBrowserUI*, LPMSG msg, const GUID* group, DWORD command) { return S_FALSE; }
  virtual HRESULT GetOptionKeyPath(CWebBrowserUI*, LPOLESTR* key, DWORD reserved) { return E_NOTIMPL; }
  virtual HRESULT GetDropTarget(CWebBrowserUI*, IDropTarget* target, IDropTarget** result) { return S_FALSE; }
  virtual HRESULT GetExternal(CWebBrowserUI*, IDispatch** dispatch) { return S_FALSE; }
  virtual HRESULT TranslateUrl(CWebBrowserUI*, DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) { return E_NOTIMPL; }
  virtual HRESULT FilterDataObject(CWebBrowserUI*, IDataObject* in, IDataObject** out) { return E_NOTIMPL; }
  virtual HRESULT Download(CWebBrowserUI*, IMoniker*, IBindCtx*, DWORD bindVerb, LONG bindFlags, BINDINFO*,
                           LPCOLESTR headers, LPCOLESTR redirect, UINT codePage) {
    return S_OK;
  }

 protected:
  ~IWebBrowserHostHandler() = default;
};

// The browser's download manager: its downloads go to the control's Download.
class CWebDownloadManager : public IDownloadManager {
 public:
  explicit CWebDownloadManager(CWebBrowserUI* owner) : m_pOwner(owner) {}
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(Download)
  (IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF, BINDINFO* pBindInfo, LPCOLESTR pszHeaders,
   LPCOLESTR pszRedir, UINT uiCP) override;

 private:
  CWebBrowserUI* m_pOwner;
};

// The platform's web browser control ({8856F961-340A-11D0-A96B-00C04FD705A2}). Its interface tables
// count references but never delete: the control lives as long as its place in the tree.
class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator {
 public:
  CWebBrowserUI();
  ~CWebBrowserUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void ReleaseControl() override;
  bool DoCreateControl() override;
  virtual HRESULT Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF, BINDINFO* pBindInfo,
                           LPCOLESTR pszHeaders, LPCOLESTR pszRedir, UINT uiCP);

  void SetHomePage(const wchar_t* url) { m_sHomePage = url; }
  const CUIString& GetHomePage() const { return m_sHomePage; }
  void SetAutoNavigation(bool autoNavigate) { m_bAutoNavi = autoNavigate; }
  bool IsAutoNavigation() const { return m_bAutoNavi; }
  void SetWebBrowserEventHandler(IWebBrowserHostHandler* handler) { m_pWebBrowserEventHandler = handler; }
  IWebBrowser2* GetWebBrowser2() const { return m_pWebBrowser2.Get(); }
  void Navigate2(const wchar_t* url);
  HRESULT RegisterEventHandler(BOOL advise);
  // Makes this control the UI handler of a document (each navigation brings a new one); the
  // previous document, and the last when the control is released, get their handler back empty.
  void SetDocumentUIHandler(IUnknown* document);

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  // IDocHostUIHandler
  STDMETHOD(ShowContextMenu)(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) override;
  STDMETHOD(GetHostInfo)(DOCHOSTUIINFO* pInfo) override;
  STDMETHOD(ShowUI)
  (DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget, IOleInPlaceFrame* pFrame,
   IOleInPlaceUIWindow* pDoc) override;
  STDMETHOD(HideUI)() override;
  STDMETHOD(UpdateUI)() override;
  STDMETHOD(EnableModeless)(WINBOOL fEnable) override;
  STDMETHOD(OnDocWindowActivate)(WINBOOL fActivate) override;
  STDMETHOD(OnFrameWindowActivate)(WINBOOL fActivate) override;
  STDMETHOD(ResizeBorder)(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, WINBOOL fRameWindow) override;
  STDMETHOD(TranslateAccelerator)(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
  STDMETHOD(GetOptionKeyPath)(LPOLESTR* pchKey, DWORD dw) override;
  STDMETHOD(GetDropTarget)(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
  STDMETHOD(GetExternal)(IDispatch** ppDispatch) override;
  STDMETHOD(TranslateUrl)(DWORD dwTranslate, LPWSTR pchURLIn, LPWSTR* ppchURLOut) override;
  STDMETHOD(FilterDataObject)(IDataObject* pDO, IDataObject** ppDORet) override;
  // IServiceProvider
  STDMETHOD(QueryService)(REFGUID guidService, REFIID riid, void** ppvObject) override;
  // IOleCommandTarget
  STDMETHOD(QueryStatus)(const GUID* pguidCmdGroup, ULONG cCmds, OLECMD prgCmds[], OLECMDTEXT* pCmdText) override;
  STDMETHOD(Exec)(const GUID* pguidCmdGroup, DWORD nCmdID, DWORD nCmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut) override;
  // IDispatch: the browser's DWebBrowserEvents2
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
  STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
  STDMETHOD(Invoke)
  (DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
   EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
  // The framework's key translator: keys go to the browser while the focus is in its window.
  LRESULT TranslateAccelerator(MSG* pMsg) override;

 protected:
  IWebBrowserHostHandler& Handler() const;
  HRESULT OnEvent(DISPID dispIdMember, DISPPARAMS& params);
  void OnNavigateComplete2(IDispatch* pDisp, VARIANT* url);

  Microsoft::WRL::ComPtr<IWebBrowser2> m_pWebBrowser2;
  LONG m_dwRef;
  DWORD m_dwCookie;
  CUIString m_sHomePage;
  bool m_bAutoNavi;
  IWebBrowserHostHandler* m_pWebBrowserEventHandler;
  CWebDownloadManager m_downloadManager;
  Microsoft::WRL::ComPtr<ICustomDoc> m_pCustomDoc;
};

}  // namespace SkinUI
