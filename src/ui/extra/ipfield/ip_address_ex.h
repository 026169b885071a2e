// ui/extra/ipfield/: the self-drawn IPv4 address field ("IPAddressEx"): a read-only edit that keeps
// four octets, draws them itself and takes digits, arrows, the wheel and Delete/Backspace from the
// framework's events, with no native window. Uses ui/core only.
#pragma once
#include "ui/core/controls/edit.h"

namespace SkinUI {

class CIPAddressExUI : public CEditUI {
 public:
  CIPAddressExUI();
  ~CIPAddressExUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void PaintText(HDC hDC) override;

  // Text := the dotted address of the four octets.
  void UpdateText();
  // The active octet one up or down, within 0..255; nothing without an active part.
  void IncreaseNum();
  void DecreaseNum();
  // Appends a typed digit to the active part and commits it.
  void CharToInt(wchar_t digit);
  // Commits the digits typed into the active part so far.
  void GetNumInput();

 private:
  void ChoosePartAt(POINT pt);
  void OnKeyDown(wchar_t vk);
  void OnDigit(wchar_t digit);
  // Moves the active part one left (-1) or right (+1), committing what was typed.
  void MovePart(int step);
  void DrawOctets(HDC hDC, const RECT& rc, DWORD color);

  int m_octets[4];
  int m_nActivePart;  // 0 none, 1 to 4
  CUIString m_sTyped;
};

}  // namespace SkinUI
