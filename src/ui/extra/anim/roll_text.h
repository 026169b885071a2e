#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

// Text that moves through the control by a step at every paint: left, right, up or down. Timer 20
// repaints it and timer 21 ends the roll with "textrollend", for a window that starts them.
class CRollTextUI : public CLabelUI {
 public:
  enum Direction { kLeft = 0, kRight = 1, kUp = 2, kDown = 3 };

  CRollTextUI();
  ~CRollTextUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetText(const wchar_t* pstrText) override;
  void DoEvent(EventRecordUI& event) override;
  void PaintText(HDC hDC) override;
  using CLabelUI::SetPos;
  // Places the control and has the text measured again at the next paint.
  virtual void SetPos(RECT rc);

 private:
  static const UINT kRepaintTimerId = 20;
  static const UINT kEndTimerId = 21;
  // Where the text goes this paint, for a text n pixels long or high; advances the position.
  RECT PlaceText(RECT rc, int n);
  // Draws, or with DT_CALCRECT measures into rc, the text as HTML or plain.
  void DrawRollText(HDC hDC, RECT& rc, DWORD color, UINT style);

  int m_nStep;
  int m_nScrollPos;
  int m_nRollDirection;
  int m_nText_W_H;
};

}  // namespace SkinUI
