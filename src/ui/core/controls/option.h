#pragma once
#include "ui/core/controls/button.h"

namespace SkinUI {

// A button with a selected state; options of one group in one window exclude each other.
class COptionUI : public CButtonUI {
 public:
  COptionUI();
  ~COptionUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  bool Activate() override;
  void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
  void SetEnabled(bool bEnable = true) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void PaintBkColor(HDC hDC) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintForeImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  virtual const wchar_t* GetSelectedStateImage();
  virtual void SetSelectedStateImage(const wchar_t* pStrImage);
  virtual void Selected(bool bSelected);

  bool IsSelected() const { return m_bSelected; }
  const wchar_t* GetGroup() const { return m_sGroupName.GetData(); }
  void SetGroup(const wchar_t* pStrGroupName);
  void SetSelectedImage(const wchar_t* pStrImage);
  void SetSelectedHotImage(const wchar_t* pStrImage);
  void SetSelectedPushedImage(const wchar_t* pStrImage);
  void SetSelectedForeImage(const wchar_t* pStrImage);
  void SetSelectedStateCount(int nCount);
  void SetSelectedBkColor(DWORD dwColor) { m_dwSelectedBkColor = dwColor; }
  DWORD GetSelectedBkColor() const { return m_dwSelectedBkColor; }
  void SetSelectedTextColor(DWORD dwColor) { m_dwSelectedTextColor = dwColor; }
  DWORD GetSelectedTextColor() const { return m_dwSelectedTextColor; }

 protected:
  // Stores the new state; false when nothing changed.
  bool StoreSelected(bool bSelected);
  // Unselects the other members of the group (over a copy: they may leave it meanwhile).
  void UnselectPartners();
  void SendSelectChanged(WPARAM wParam);

  bool m_bSelected;
  CUIString m_sGroupName;
  DWORD m_dwSelectedBkColor;
  DWORD m_dwSelectedTextColor;
  CUIString m_sSelectedImage;
  CUIString m_sSelectedHotImage;
  CUIString m_sSelectedPushedImage;
  CUIString m_sSelectedForeImage;
  int m_nSelectedStateCount;
  CUIString m_sSelectedStateImage;
};

// An option that can toggle itself on a press and reports the new state.
class CCheckBoxUI : public COptionUI {
 public:
  CCheckBoxUI();
  ~CCheckBoxUI() override;

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void DoEvent(EventRecordUI& event) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  void Selected(bool bSelected) override;

  void SetCheck(bool bCheck) { Selected(bCheck); }
  bool GetCheck() const { return IsSelected(); }
  void SetAutoCheck(bool bEnable) { m_bAutoCheck = bEnable; }

 private:
  bool m_bAutoCheck;
};

}  // namespace SkinUI
