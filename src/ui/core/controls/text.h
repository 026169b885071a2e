#pragma once
#include "ui/core/controls/label.h"

namespace SkinUI {

// A multi-line label whose HTML-like text may hold links; a click on a link sends "link".
class CTextUI : public CLabelUI {
 public:
  CTextUI();
  ~CTextUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void DoEvent(EventRecordUI& event) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintText(HDC hDC) override;

  static constexpr int kMaxLinks = 8;

  int GetLinkCount() const { return HasLinks() ? m_nLinks : 0; }
  RECT GetLinkRect(int index) const;
  CUIString GetLinkText(int index) const;
  int GetHoveredLink() const { return m_nHoverLink; }

 protected:
  bool HasLinks() const;
  // The index of the first link holding the point, or -1.
  int LinkAt(POINT pt) const;

  int m_nLinks;
  RECT m_rcLinks[kMaxLinks];
  CUIString m_sLinks[kMaxLinks];
  int m_nHoverLink;
};

}  // namespace SkinUI
