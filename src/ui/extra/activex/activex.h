// activex/: hosts OLE controls (ActiveX objects) in a framework window, windowed or windowless, and
// on that host the platform's web browser and the Flash player. Uses ui/core only; the site, its
// window, frame and enumerator are internal (activex_site_internal.h).
#pragma once
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <wrl/client.h>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/ui_events.h"

namespace SkinUI {

class CActiveXCtrl;
class CActiveXWnd;

// An OLE control in the tree: created from its CLSID (registered, or from the class object of a
// named DLL), drawn by the host when windowless, in a child window of its own otherwise.
class CActiveXUI : public CControlUI, public IMessageFilterUI {
 public:
  CActiveXUI();
  ~CActiveXUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void SetVisible(bool bVisible = true) override;
  void SetInternalVisible(bool bVisible = true) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;

  virtual bool IsDelayCreate() const;
  virtual void SetDelayCreate(bool bDelayCreate = true);
  virtual bool IsNoClose() const;
  virtual void SetNoClose(bool bNoClose);
  virtual void ReleaseControl();
  virtual bool DoCreateControl();

  // Window messages for a windowless object, asked by the manager before its own handling.
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

  bool CreateControl(const CLSID clsid);
  bool CreateControl(const wchar_t* pstrCLSID);
  void SetModuleName(const wchar_t* pstrText);
  HRESULT GetControl(const IID iid, LPVOID* ppRet);

 protected:
  friend class CActiveXCtrl;
  friend class CActiveXWnd;

  // The item rectangle as the object sees it: window-relative for a windowed object.
  RECT ObjectRect() const;
  void MoveHostWindow();
  void ShowHostWindow();

  CLSID m_clsid;
  CUIString m_sModuleName;
  bool m_bCreated;
  bool m_bDelayCreate;
  bool m_bNoClose;
  Microsoft::WRL::ComPtr<IOleObject> m_pUnk;
  CActiveXCtrl* m_pControl;
  HWND m_hwndHost;
};

// The answer of a hosted object's IOleInPlaceActiveObject to a key message, given only while the
// keyboard focus is in the host window or below it: the web browser's and Flash's key translator.
LRESULT TranslateKeyForObject(IUnknown* object, HWND host, MSG* pMsg);

}  // namespace SkinUI
