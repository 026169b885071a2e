// ui/extra/richedit/: the "RichEdit" control and the text host that runs the platform's windowless
// rich text services (msftedit.dll) inside it. Uses ui/core only.
#pragma once
#include <windows.h>
#include <richedit.h>

#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/ui_events.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

// An editable, optionally multi-line and formatted text field without a native window: the text
// services keep, edit and draw the text; the control holds the skin's settings, routes the
// window's input to them, paints its images and placeholder and shows their scroll bars as the
// framework's own.
class CRichEditUI : public CContainerUI, public IMessageFilterUI {
 public:
  CRichEditUI();
  ~CRichEditUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;

  // The host that runs the text services; null before DoInit or when they could not be made.
  CTxtWinHost* GetTextHost() const { return m_pTwh; }
  bool IsMultiLine() const { return (m_lTwhStyle & ES_MULTILINE) != 0; }
  bool IsWantTab() const { return m_bWantTab; }
  void SetWantTab(bool want = true);
  bool IsWantReturn() const { return m_bWantReturn; }
  void SetWantReturn(bool want = true) { m_bWantReturn = want; }
  bool IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
  void SetWantCtrlReturn(bool want = true) { m_bWantCtrlReturn = want; }
  bool IsRich() const { return m_bRich; }
  void SetRich(bool rich = true);
  bool IsReadOnly() const { return m_bReadOnly; }
  int GetFont() const { return m_iFont; }
  void SetFont(int index);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD color);
  int GetLimitText() const { return m_iLimitText; }
  void SetLimitText(int limit);
  RECT GetTextPadding() const;
  void SetTextPadding(RECT rc);
  CUIString GetTipValue() const { return m_sTipValue; }
  void SetTipValue(const wchar_t* text);
  DWORD GetTipValueColor() const { return m_dwTipValueColor; }
  void SetTipValueColor(const wchar_t* color);
  UINT GetTipValueAlign() const { return m_uTipValueAlign; }

  // The text, read from and written to the text services.
  CUIString GetText() const override;
  void SetText(const wchar_t* pstrText) override;
  long GetTextLength(DWORD flags = GTL_DEFAULT) const;
  WORD GetSelectionType() const;
  LRESULT SetSel(long start, long end);
  void SetSelAll() { SetSel(0, -1); }
  void ReplaceSel(const wchar_t* text, bool canUndo);
  bool Undo();
  bool Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void Cut();
  void Copy();
  void Paste();
  // Empties the whole text.
  void Clear();

  void SetEnabled(bool bEnable = true) override;
  void DoInit() override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void Move(SIZE szOffset, bool bNeedInvalidate = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void DoPaint(HDC hDC, const RECT& rcPaint) override;
  void PaintStatusImage(HDC hDC) override;

  // Scrolling is the text services' own: each step goes to them as a scroll message.
  void SetScrollPos(SIZE szPos, bool bMsg = true) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void HomeUp() override;
  void EndDown() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void HomeLeft() override;
  void EndRight() override;

  // Appended after the container's operations, in this order.
  // A message for the text services; S_FALSE without them. A Return the control keeps sends "return".
  virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const;
  virtual bool OnTxViewChanged(bool bUpdate);
  // A change (EN_CHANGE) reported during a call into the text services is sent as "textchanged"
  // once the outermost such call has returned.
  virtual void OnTxNotify(DWORD iNotify, void* pv);

  // The window's messages, asked before the paint manager handles them.
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

 private:
  // Held over a call into the text services. When the outermost one ends, a change they reported
  // meanwhile is sent as "textchanged": its receiver may delete this control, which must not
  // happen while they are inside their own call. The host and its services outlive a control
  // deleted during the call (a receiver reached through their callbacks) until it returns. False
  // once this control is gone.
  class ServicesCall {
   public:
    explicit ServicesCall(const CRichEditUI* edit);
    ~ServicesCall();
    ServicesCall(const ServicesCall&) = delete;
    ServicesCall& operator=(const ServicesCall&) = delete;
    explicit operator bool() const { return static_cast<bool>(m_alive); }

   private:
    CRichEditUI* m_pEdit;
    CTxtWinHost::Hold m_host;
    CControlWatch m_alive;
  };

  LRESULT SendToServices(UINT msg, WPARAM wParam, LPARAM lParam) const;
  void SetStyleBits(unsigned bits, bool on);
  // False for a name that is not one of the text-host style attributes.
  bool SetStyleAttribute(const wchar_t* name, const wchar_t* value);
  CUIString* StateImageNamed(const wchar_t* name);
  RECT ClientRectLessBars() const;
  bool NaturalHeightExceeds(const RECT& rcText) const;
  void FitVerticalBar(const RECT& rcText, bool barWasVisible);
  void PlaceChildren(const RECT& rc, const CLayoutPass& pass);
  void SendScroll(UINT msg, WORD code);
  bool MouseMessageForMe(UINT uMsg, LPARAM lParam);
  bool ForTextServices(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void PlaceCompositionWindow();
  bool ShowContextMenu(LPARAM lParam);
  void RunMenuCommand(WPARAM command);

  CTxtWinHost* m_pTwh;
  bool m_bVScrollBarFixing;
  bool m_bWantTab;
  bool m_bWantReturn;
  bool m_bWantCtrlReturn;
  bool m_bRich;
  bool m_bReadOnly;
  DWORD m_dwTextColor;
  int m_iFont;
  int m_iLimitText;
  LONG m_lTwhStyle;
  bool m_bInited;
  UINT m_uButtonState;
  CUIString m_sNormalImage;
  CUIString m_sHotImage;
  CUIString m_sFocusedImage;
  CUIString m_sDisabledImage;
  CUIRect m_rcTextPadding;
  CUIString m_sTipValue;
  DWORD m_dwTipValueColor;
  UINT m_uTipValueAlign;
  mutable int m_iServicesCalls;
  mutable bool m_bTextChanged;
};

}  // namespace SkinUI
