// paint/control/: the base control of every control, the container of children and its scroll
// bar. One layer with manager/ and render/ (see paint.h).
#pragma once
#include <windows.h>

#include "ui/core/base/delegate.h"
#include "ui/core/paint/manager/ui_events.h"
#include "ui/core/base/ui_geometry.h"
#include "ui/core/base/ui_string.h"
#include "ui/core/base/ui_string_map.h"

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

// Tells whether a control still lives after a call that may delete it: the receiver of a
// synchronous notification may remove the control at once (a container without delayed destroy),
// and with a container every child in it. The control clears each watch on it as it dies.
class CControlWatch {
 public:
  explicit CControlWatch(CControlUI* pControl);
  ~CControlWatch();
  CControlWatch(const CControlWatch&) = delete;
  CControlWatch& operator=(const CControlWatch&) = delete;
  explicit operator bool() const { return m_pControl != nullptr; }

 private:
  friend class CControlUI;
  CControlUI* m_pControl;
  CControlWatch* m_pNext;
};

// Base of every control: a windowless element of a paint manager's tree.
// The virtual operations keep this slot order; derived classes append theirs after the last.
class CControlUI {
 public:
  CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;
  virtual ~CControlUI();

  virtual CUIString GetName() const;
  virtual void SetName(const wchar_t* pstrName);
  virtual const wchar_t* GetClass() const;
  virtual LPVOID GetInterface(const wchar_t* pstrName);
  virtual UINT GetControlFlags() const;
  virtual bool Activate();
  virtual CPaintManagerUI* GetManager() const;
  virtual void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true);
  virtual CControlUI* GetParent() const;
  virtual CUIString GetText() const;
  virtual void SetText(const wchar_t* pstrText);
  virtual bool IsResourceText() const;
  virtual void SetResourceText(bool bResource);
  virtual bool IsDragEnabled() const;
  virtual void SetDragEnabled(bool bDrag);
  virtual bool IsDropEnabled() const;
  virtual void SetDropEnabled(bool bDrop);
  virtual RECT GetRelativePos() const;
  virtual RECT GetClientPos() const;
  virtual const RECT& GetPos() const;
  virtual void SetPos(RECT rc, bool bNeedInvalidate = true);
  virtual void Move(SIZE szOffset, bool bNeedInvalidate = true);
  virtual int GetWidth() const;
  virtual int GetHeight() const;
  virtual int GetX() const;
  virtual int GetY() const;
  virtual RECT GetPadding() const;
  virtual void SetPadding(RECT rcPadding);
  virtual SIZE GetFixedXY() const;
  virtual void SetFixedXY(SIZE szXY);
  virtual int GetFixedWidth() const;
  virtual void SetFixedWidth(int cx);
  virtual int GetFixedHeight() const;
  virtual void SetFixedHeight(int cy);
  virtual int GetMinWidth() const;
  virtual void SetMinWidth(int cx);
  virtual int GetMaxWidth() const;
  virtual void SetMaxWidth(int cx);
  virtual int GetMinHeight() const;
  virtual void SetMinHeight(int cy);
  virtual int GetMaxHeight() const;
  virtual void SetMaxHeight(int cy);
  struct FloatPercent {
    double left;
    double top;
    double right;
    double bottom;
  };
  virtual FloatPercent GetFloatPercent() const;
  virtual void SetFloatPercent(FloatPercent percent);
  virtual void SetFloatAlign(UINT uAlign);
  virtual UINT GetFloatAlign() const;
  virtual CUIString GetToolTip() const;
  virtual void SetToolTip(const wchar_t* pstrText);
  virtual void SetToolTipWidth(int nWidth);
  virtual int GetToolTipWidth() const;
  virtual WORD GetCursor() const;
  virtual void SetCursor(WORD wCursor);
  virtual wchar_t GetShortcut() const;
  virtual void SetShortcut(wchar_t ch);
  virtual bool IsContextMenuEnabled() const;
  virtual void SetContextMenuEnabled(bool bMenuUsed);
  virtual const CUIString& GetUserData() const;
  virtual void SetUserData(const wchar_t* pstrText);
  virtual UINT_PTR GetTag() const;
  virtual void SetTag(UINT_PTR pTag);
  virtual bool IsVisible() const;
  virtual void SetVisible(bool bVisible = true);
  virtual void SetInternalVisible(bool bVisible = true);
  virtual bool IsEnabled() const;
  virtual void SetEnabled(bool bEnable = true);
  virtual bool IsMouseEnabled() const;
  virtual void SetMouseEnabled(bool bEnable = true);
  virtual bool IsKeyboardEnabled() const;
  virtual void SetKeyboardEnabled(bool bEnable = true);
  virtual bool IsFocused() const;
  virtual void SetFocus();
  virtual bool IsFloat() const;
  virtual void SetFloat(bool bFloat = true);
  virtual CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags);
  virtual void Init();
  virtual void DoInit();
  virtual void Event(EventRecordUI& event);
  virtual void DoEvent(EventRecordUI& event);
  virtual void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue);
  virtual SIZE EstimateSize(SIZE szAvailable);
  virtual void DoPaint(HDC hDC, const RECT& rcPaint);
  virtual void PaintBkColor(HDC hDC);
  virtual void PaintBkImage(HDC hDC);
  virtual void PaintStatusImage(HDC hDC);
  virtual void PaintForeColor(HDC hDC);
  virtual void PaintForeImage(HDC hDC);
  virtual void PaintText(HDC hDC);
  virtual void PaintBorder(HDC hDC);
  virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

  void Invalidate();
  void NeedUpdate();
  void NeedParentUpdate();
  bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
  CUIString GetVirtualWnd() const;
  void SetVirtualWnd(const wchar_t* pstrValue);
  void AddCustomAttribute(const wchar_t* pstrName, const wchar_t* pstrAttr);
  const wchar_t* GetCustomAttribute(const wchar_t* pstrName) const;
  void RemoveAllCustomAttribute();
  void ApplyAttributeList(const wchar_t* pstrList);
  // The manager that may hold this control in its lists: the last one it was given (kept when
  // its manager is cleared) or registered with. Another one taking it makes the former forget it.
  void SetHoldingManager(CPaintManagerUI* pManager);

  // Painting state.
  DWORD AdjustColor(DWORD dwColor) const;
  bool DrawImage(HDC hDC, const wchar_t* pStrImage, const wchar_t* pStrModify = nullptr);
  const CUIString& GetGradient() const { return m_sGradient; }
  void SetGradient(const wchar_t* pStrImage);
  DWORD GetBkColor() const { return m_dwBackColor; }
  void SetBkColor(DWORD dwBackColor);
  DWORD GetBkColor2() const { return m_dwBackColor2; }
  void SetBkColor2(DWORD dwBackColor);
  DWORD GetBkColor3() const { return m_dwBackColor3; }
  void SetBkColor3(DWORD dwBackColor);
  DWORD GetForeColor() const { return m_dwForeColor; }
  void SetForeColor(DWORD dwForeColor);
  const CUIString& GetBkImage() const { return m_sBkImage; }
  void SetBkImage(const wchar_t* pStrImage);
  const CUIString& GetForeImage() const { return m_sForeImage; }
  void SetForeImage(const wchar_t* pStrImage);
  DWORD GetBorderColor() const { return m_dwBorderColor; }
  void SetBorderColor(DWORD dwBorderColor);
  DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
  void SetFocusBorderColor(DWORD dwBorderColor);
  bool IsColorHSL() const { return m_bColorHSL; }
  void SetColorHSL(bool bColorHSL);
  int GetBorderSize() const;
  void SetBorderSize(int nSize);
  RECT GetBorderRectSize() const;
  void SetBorderRectSize(RECT rc);
  void SetLeftBorderSize(int nSize);
  void SetTopBorderSize(int nSize);
  void SetRightBorderSize(int nSize);
  void SetBottomBorderSize(int nSize);
  int GetBorderStyle() const { return m_nBorderStyle; }
  void SetBorderStyle(int nStyle);
  SIZE GetBorderRound() const;
  void SetBorderRound(SIZE cxyRound);

  // For a control that edits text without a native window: while focused it may keep the Tab key
  // as input (the manager then moves no focus), and the manager draws its caret in this colour
  // (0: the default font colour).
  bool KeepsTabKey() const { return m_bKeepsTabKey; }
  void SetKeepsTabKey(bool keep) { m_bKeepsTabKey = keep; }
  DWORD GetCaretColor() const { return m_dwCaretColor; }
  void SetCaretColor(DWORD color) { m_dwCaretColor = color; }

  CEventSource OnInit;
  CEventSource OnDestroy;
  CEventSource OnSize;
  CEventSource OnEvent;
  CEventSource OnNotify;

 protected:
  int ScaleValue(int value) const;
  void PaintLayers(HDC hDC);
  bool SetPaintAttribute(const wchar_t* name, const wchar_t* value);

  CPaintManagerUI* m_pManager;
  CControlUI* m_pParent;
  CUIString m_sVirtualWnd;
  CUIString m_sName;
  bool m_bUpdateNeeded;
  bool m_bMenuUsed;
  CUIRect m_rcItem;
  CUIRect m_rcPadding;
  CUISize m_cXY;
  int m_cxFixed;
  int m_cyFixed;
  int m_cxMin;
  int m_cyMin;
  int m_cxMax;
  int m_cyMax;
  bool m_bVisible;
  bool m_bInternVisible;
  bool m_bEnabled;
  bool m_bMouseEnabled;
  bool m_bKeyboardEnabled;
  bool m_bFocused;
  bool m_bFloat;
  FloatPercent m_piFloatPercent;
  UINT m_uFloatAlign;
  bool m_bSetPos;
  bool m_bDragEnabled;
  bool m_bDropEnabled;
  bool m_bResourceText;
  CUIString m_sText;
  CUIString m_sToolTip;
  wchar_t m_chShortcut;
  CUIString m_sUserData;
  UINT_PTR m_pTag;
  CUIString m_sGradient;
  DWORD m_dwBackColor;
  DWORD m_dwBackColor2;
  DWORD m_dwBackColor3;
  DWORD m_dwForeColor;
  CUIString m_sBkImage;
  CUIString m_sForeImage;
  DWORD m_dwBorderColor;
  DWORD m_dwFocusBorderColor;
  bool m_bColorHSL;
  int m_nBorderSize;
  int m_nBorderStyle;
  int m_nTooltipWidth;
  WORD m_wCursor;
  CUISize m_cxyBorderRound;
  CUIRect m_rcPaint;
  CUIRect m_rcBorderSize;
  CUIStringMap m_mCustomAttrHash;
  bool m_bKeepsTabKey = false;
  DWORD m_dwCaretColor = 0;

 private:
  friend class CControlWatch;
  CPaintManagerUI* m_pHoldingManager = nullptr;
  CControlWatch* m_pWatches = nullptr;
};

}  // namespace SkinUI
