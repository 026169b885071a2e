#pragma once
#include "ui/core/layouts/linear_layout.h"
#include "ui/extra/list/header_column.h"

namespace SkinUI {

// A list's column header: a row of header items laid out by their widths (or by their "scale"
// percentages of the header's width). The list copies the items' rectangles into its columns.
class CListHeaderUI : public CHorizontalLayoutUI {
 public:
  CListHeaderUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;

  bool IsScaleHeader() const { return m_bIsScaleHeader; }
  void SetScaleHeader(bool bIsScale) { m_bIsScaleHeader = bIsScale; }

 private:
  // The width the item takes in this header: its "scale" share of `fullWidth` when scaling.
  int ItemWidth(CControlUI* item, SIZE available, int fullWidth) const;
  // The header's width less the parent's vertical bar, which scaled widths leave room for.
  int ScaleBase() const;

  bool m_bIsScaleHeader;
};

// One column title: "headerclick" on a press, and a separator band that resizes the column.
class CListHeaderItemUI : public CContainerUI {
 public:
  CListHeaderItemUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  UINT GetControlFlags() const override;
  void SetEnabled(bool bEnable = true) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  SIZE EstimateSize(SIZE szAvailable) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // The separator band: at the right edge, or at the left for a negative separator width.
  RECT GetThumbRect() const { return m_column.ThumbRect(m_rcItem); }
  bool IsDragable() const { return m_column.bDragable; }
  void SetDragable(bool bDragable) { m_column.SetDragable(bDragable); }
  int GetSepWidth() const { return m_column.iSepWidth; }
  void SetSepWidth(int iWidth) { m_column.iSepWidth = iWidth; }
  int GetScale() const { return m_nScale; }
  void SetScale(int nScale) { m_nScale = nScale; }
  UINT GetTextStyle() const { return m_column.uTextStyle; }

 private:
  HeaderColumn m_column;
  int m_nScale;
};

}  // namespace SkinUI
