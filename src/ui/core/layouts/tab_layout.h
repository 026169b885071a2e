#pragma once
#include "ui/core/paint/control/container.h"

namespace SkinUI {

// Shows exactly one of its children at a time and reports each change as "tabselect".
class CTabLayoutUI : public CContainerUI {
 public:
  CTabLayoutUI();

  const wchar_t* GetClass() const override;
  LPVOID GetInterface(const wchar_t* pstrName) override;
  void SetPos(RECT rc, bool bNeedInvalidate = true) override;
  void SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) override;
  bool Add(CControlUI* pControl) override;
  bool AddAt(CControlUI* pControl, int iIndex) override;
  bool Remove(CControlUI* pControl) override;
  void RemoveAll() override;

  virtual bool SelectItem(CControlUI* pControl);
  virtual bool SelectItem(int iIndex);

  int GetCurSel() const { return m_iCurSel; }

 protected:
  int m_iCurSel;
};

}  // namespace SkinUI
