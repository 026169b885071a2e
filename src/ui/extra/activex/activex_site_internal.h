// The container side of a hosted OLE object: its site, the site's child window for a windowed
// object, the in-place frame it hands out and the enumerator of the container's one object.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "ui/core/paint/manager/window_wnd.h"
#include "ui/extra/activex/activex.h"

namespace SkinUI {

// The object's client, in-place (windowless or windowed) and control site, its object-with-site
// and its container. Lives while anyone holds it; its owner clears `owner` when letting it go, so
// every later call that needs the control answers E_UNEXPECTED.
class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
 public:
  explicit CActiveXCtrl(CActiveXUI* owner);
  CActiveXCtrl(const CActiveXCtrl&) = delete;
  CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

  IUnknown* Identity() { return static_cast<IOleInPlaceSiteWindowless*>(this); }
  CActiveXUI* Owner() const { return m_pOwner; }
  void ClearOwner() { m_pOwner = nullptr; }
  // Takes the object's best view interface: IViewObjectEx, else IViewObject2, else IViewObject.
  void TakeViewObject(IUnknown* object);
  bool HitTest(POINT pt, const RECT& bounds) const;
  void Draw(HDC hDC, const RECT& bounds) const;
  bool HasViewObject() const { return m_pViewObject != nullptr; }
  bool IsWindowless() const { return m_bWindowless; }
  bool IsInPlaceActive() const { return m_bInPlaceActive; }
  bool IsCaptured() const { return m_bCaptured; }
  bool IsUIActive() const { return m_bUIActive; }
  void SetFocused(bool focused) { m_bFocused = focused; }
  // The in-place object when it was activated windowless, else null.
  IOleInPlaceObjectWindowless* WindowlessObject() const;
  IOleInPlaceObject* InPlaceObject() const { return m_pInPlaceObject.Get(); }

  // IUnknown
  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  // IOleClientSite
  STDMETHOD(SaveObject)() override;
  STDMETHOD(GetMoniker)(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
  STDMETHOD(GetContainer)(IOleContainer** ppContainer) override;
  STDMETHOD(ShowObject)() override;
  STDMETHOD(OnShowWindow)(WINBOOL fShow) override;
  STDMETHOD(RequestNewObjectLayout)() override;
  // IOleWindow
  STDMETHOD(GetWindow)(HWND* phwnd) override;
  STDMETHOD(ContextSensitiveHelp)(WINBOOL fEnterMode) override;
  // IOleInPlaceSite
  STDMETHOD(CanInPlaceActivate)() override;
  STDMETHOD(OnInPlaceActivate)() override;
  STDMETHOD(OnUIActivate)() override;
  STDMETHOD(GetWindowContext)
  (IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect, LPRECT lprcClipRect,
   LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
  STDMETHOD(Scroll)(SIZE scrollExtant) override;
  STDMETHOD(OnUIDeactivate)(WINBOOL fUndoable) override;
  STDMETHOD(OnInPlaceDeactivate)() override;
  STDMETHOD(DiscardUndoState)() override;
  STDMETHOD(DeactivateAndUndo)() override;
  STDMETHOD(OnPosRectChange)(LPCRECT lprcPosRect) override;
  // IOleInPlaceSiteEx
  STDMETHOD(OnInPlaceActivateEx)(WINBOOL* pfNoRedraw, DWORD dwFlags) override;
  STDMETHOD(OnInPlaceDeactivateEx)(WINBOOL fNoRedraw) override;
  STDMETHOD(RequestUIActivate)() override;
  // IOleInPlaceSiteWindowless
  STDMETHOD(CanWindowlessActivate)() override;
  STDMETHOD(GetCapture)() override;
  STDMETHOD(SetCapture)(WINBOOL fCapture) override;
  STDMETHOD(GetFocus)() override;
  STDMETHOD(SetFocus)(WINBOOL fFocus) override;
  STDMETHOD(GetDC)(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override;
  STDMETHOD(ReleaseDC)(HDC hDC) override;
  STDMETHOD(InvalidateRect)(LPCRECT pRect, WINBOOL fErase) override;
  STDMETHOD(InvalidateRgn)(HRGN hRGN, WINBOOL fErase) override;
  STDMETHOD(ScrollRect)(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override;
  STDMETHOD(AdjustRect)(LPRECT prc) override;
  STDMETHOD(OnDefWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
  // IOleControlSite
  STDMETHOD(OnControlInfoChanged)() override;
  STDMETHOD(LockInPlaceActive)(WINBOOL fLock) override;
  STDMETHOD(GetExtendedControl)(IDispatch** ppDisp) override;
  STDMETHOD(TransformCoords)(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
  STDMETHOD(TranslateAccelerator)(MSG* pMsg, DWORD grfModifiers) override;
  STDMETHOD(OnFocus)(WINBOOL fGotFocus) override;
  STDMETHOD(ShowPropertyFrame)() override;
  // IObjectWithSite
  STDMETHOD(SetSite)(IUnknown* pUnkSite) override;
  STDMETHOD(GetSite)(REFIID riid, void** ppvSite) override;
  // IOleContainer
  STDMETHOD(ParseDisplayName)(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten, IMoniker** ppmkOut) override;
  STDMETHOD(EnumObjects)(DWORD grfFlags, IEnumUnknown** ppenum) override;
  STDMETHOD(LockContainer)(WINBOOL fLock) override;

 private:
  virtual ~CActiveXCtrl();
  HRESULT CreateActiveXWnd();
  void DestroyActiveXWnd();
  bool ActivateWindowless();

  LONG m_dwRef;
  CActiveXUI* m_pOwner;
  CActiveXWnd* m_pWindow;
  Microsoft::WRL::ComPtr<IUnknown> m_pUnkSite;
  Microsoft::WRL::ComPtr<IViewObject> m_pViewObject;
  Microsoft::WRL::ComPtr<IOleInPlaceObject> m_pInPlaceObject;
  bool m_bLocked;
  bool m_bFocused;
  bool m_bCaptured;
  bool m_bUIActive;
  bool m_bInPlaceActive;
  bool m_bWindowless;
  // The view object above is an IViewObjectEx, which alone answers hit tests.
  bool m_bViewObjectEx;
  // One accelerator table for every window-context request, destroyed with the site.
  HACCEL m_hAccel;
};

// The child window of a windowed object. The site destroys and deletes it.
class CActiveXWnd final : public CWindowWnd {
 public:
  CActiveXWnd() : m_pOwner(nullptr), m_iTick(0), m_bDrawCaret(false) {}
  HWND Init(CActiveXCtrl* pOwner, HWND hWndParent);

 protected:
  const wchar_t* GetWindowClassName() const override { return L"ActiveXWnd"; }
  void OnFinalMessage(HWND hWnd) override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

 private:
  CPaintManagerUI* Manager() const;
  bool IsLayered() const;
  void DoVerb(LONG iVerb);
  void OnTimer(WPARAM wParam, bool& bHandled);
  void OnPrint(HDC hDC);
  void DrawCaret(HDC hDC);
  LRESULT OnMouseActivate(bool& bHandled);

  CActiveXCtrl* m_pOwner;
  int m_iTick;
  bool m_bDrawCaret;
};

// The in-place frame handed to the object. It reaches its control through the site (holding a
// reference), so a frame the object keeps longer than the control answers E_UNEXPECTED.
class CActiveXFrameWnd : public IOleInPlaceFrame {
 public:
  explicit CActiveXFrameWnd(CActiveXCtrl* site);
  CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
  CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(GetWindow)(HWND* phwnd) override;
  STDMETHOD(ContextSensitiveHelp)(WINBOOL fEnterMode) override { return S_OK; }
  STDMETHOD(GetBorder)(LPRECT lprectBorder) override { return S_OK; }
  STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS pborderwidths) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS pborderwidths) override { return S_OK; }
  STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
  STDMETHOD(InsertMenus)(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override { return S_OK; }
  STDMETHOD(SetMenu)(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override { return S_OK; }
  STDMETHOD(RemoveMenus)(HMENU hmenuShared) override { return S_OK; }
  STDMETHOD(SetStatusText)(LPCOLESTR pszStatusText) override { return S_OK; }
  STDMETHOD(EnableModeless)(WINBOOL fEnable) override { return S_OK; }
  STDMETHOD(TranslateAccelerator)(LPMSG lpmsg, WORD wID) override { return S_FALSE; }

 private:
  virtual ~CActiveXFrameWnd() = default;

  LONG m_dwRef;
  Microsoft::WRL::ComPtr<CActiveXCtrl> m_site;
  Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> m_pActiveObject;
};

// Enumerates the container's one object.
class CActiveXEnum : public IEnumUnknown {
 public:
  explicit CActiveXEnum(IUnknown* pUnk);
  CActiveXEnum(const CActiveXEnum&) = delete;
  CActiveXEnum& operator=(const CActiveXEnum&) = delete;

  STDMETHOD(QueryInterface)(REFIID riid, void** ppvObject) override;
  STDMETHOD_(ULONG, AddRef)() override;
  STDMETHOD_(ULONG, Release)() override;
  STDMETHOD(Next)(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override;
  STDMETHOD(Skip)(ULONG celt) override;
  STDMETHOD(Reset)() override;
  STDMETHOD(Clone)(IEnumUnknown** ppenum) override { return E_NOTIMPL; }

 private:
  virtual ~CActiveXEnum() = default;

  LONG m_iPos;
  LONG m_dwRef;
  Microsoft::WRL::ComPtr<IUnknown> m_pUnk;
};

}  // namespace SkinUI
