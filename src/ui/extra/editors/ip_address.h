#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

template <class Owner>
class CEditorWnd;
class CIPAddressWnd;

// An IPv4 address shown as "a.b.c.d", typed in the platform's IP-address editor while focused.
class CIPAddressUI : public CLabelUI {
  template <class>
  friend class CEditorWnd;
  friend class CIPAddressWnd;

 public:
  CIPAddressUI();
  ~CIPAddressUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  // An address that no one has set yet (no text either) becomes the local one.
  void DoInit() override;
  void DoEvent(EventRecordUI& event) override;

  // Applies the update flag: 1 shows the address, 2 empties the text.
  void UpdateText();
  // The address, first octet in the top byte; 0 when the text is empty.
  DWORD GetIP() const { return m_dwIP; }
  // The editor while editing (hidden once it lost the focus), or null.
  HWND GetNativeWindow() const;
  // The local host's first IPv4 address, or 0 when it is not known within a short wait.
  static DWORD GetLocalIpAddress();

 private:
  enum UpdateFlag { kUpdateNone = 0, kUpdateShow = 1, kUpdateClear = 2, kUpdateCancelled = 3 };

  DWORD m_dwIP;
  int m_nIPUpdateFlag;
  CIPAddressWnd* m_pWindow;
};

}  // namespace SkinUI
