#pragma once
#include "ui/core/paint/control/container.h"

namespace SkinUI {

// Lays its children out in a grid of equal columns, each row as high as its tallest tile.
class CTileLayoutUI : public CContainerUI {
 public:
  CTileLayoutUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;

  SIZE GetItemSize() const { return m_szItem; }
  void SetItemSize(SIZE szItem);
  int GetColumns() const { return m_nColumns; }
  void SetColumns(int nCols);

 private:
  int RowHeight(int first, int tileWidth) const;

  CUISize m_szItem;
  int m_nColumns;
};

}  // namespace SkinUI
