// window/: the window base that the program's windows derive from, with its notification pump.
// Uses base, resources, paint and builder.
#pragma once
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/window/notify_pump.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/resource_table.h"
#include "ui/core/paint/manager/window_wnd.h"

namespace SkinUI {

// The standard skinned, frameless window: builds its layout on creation, drags by its caption,
// resizes by its border and handles the close, minimise, maximise and restore buttons.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback,
                       public IQueryControlText {
 public:
  WindowImplBase();

  const UI_MSGMAP* GetNotifyMap() const override;
  void Notify(NotifyRecordUI& msg) override;
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  CControlUI* CreateControl(const wchar_t* pstrClass) override;
  const wchar_t* QueryControlText(const wchar_t* lpstrId, const wchar_t* lpstrType) override;

  CPaintManagerUI& GetPaintManager() { return m_pm; }
  static bool IsCaptionDragControl(CControlUI* pControl);

 protected:
  const wchar_t* GetWindowClassName() const override = 0;
  UINT GetClassStyle() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 public:
  virtual ~WindowImplBase();

 protected:
  virtual void OnInitHook();
  virtual void Init();
  virtual void OnClick(NotifyRecordUI& msg);
  virtual CUIString GetSkinType();
  virtual CUIString GetSkinFile() = 0;
  // The layout could not be built: tells the user and ends the process (exit code 1).
  // Windows that must not wait for a person replace it; if it
  // returns, the native window is not created.
  virtual void OnSkinLoadFailed(const wchar_t* skinFile);
  virtual const wchar_t* GetManagerName();
  virtual bool HandleDefaultKey(UINT uKey);
  virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
  virtual LONG GetStyle();

  CPaintManagerUI m_pm;

 private:
  static const UI_MSGMAP_ENTRY _messageEntries[];
  static const UI_MSGMAP messageMap;
};

}  // namespace SkinUI
