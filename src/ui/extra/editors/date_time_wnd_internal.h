#pragma once
#include "ui/core/controls/edit.h"
#include "ui/extra/editors/date_time.h"
#include "ui/extra/editors/editor_events_internal.h"

namespace SkinUI {

// The platform's date picker laid over a date control while it is edited.
class CDateTimeWnd final : public CEditorWnd<CDateTimeUI> {
 public:
  CDateTimeWnd();
  // Creates the picker when there is none yet, shows the owner's date in it and focuses it.
  void Init(CDateTimeUI* pOwner);

 protected:
  const wchar_t* GetWindowClassName() const override;
  const wchar_t* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  // Takes the picker's date into the owner; true when the owner's text changed.
  bool ReadDate();
  // The owner's date := `date`, shown; true when the owner's text changed.
  bool ShowDate(const SYSTEMTIME& date);
  LRESULT OnNotify(const NMHDR& header);

  SYSTEMTIME m_oldSysTime;
  bool m_bDropOpen;
  bool m_bLayered;
};

}  // namespace SkinUI
