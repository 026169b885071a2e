// ui/extra/editors/: labels edited through a native common control laid over them while they have
// the focus: the date picker ("DateTime"), the IP-address editor ("IPAddress") and the hot-key
// editor ("HotKey"). Uses ui/core only.
#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

template <class Owner>
class CEditorWnd;
class CDateTimeWnd;

// A date shown as "yyyy-mm-dd", picked in the platform's date picker while focused.
class CDateTimeUI : public CLabelUI {
  template <class>
  friend class CEditorWnd;
  friend class CDateTimeWnd;

 public:
  CDateTimeUI();
  ~CDateTimeUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;

  // Applies the update flag: 1 shows the date, 2 empties the text.
  void UpdateText();
  // The picker while editing, or null.
  HWND GetNativeWindow() const;

 private:
  enum UpdateFlag { kUpdateNone = 0, kUpdateShow = 1, kUpdateClear = 2 };

  SYSTEMTIME m_sysTime;
  int m_nDTUpdateFlag;
  CDateTimeWnd* m_pWindow;
};

}  // namespace SkinUI
