#include "ui/core/controls/option.h"

#include <cwchar>
#include <vector>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/base/ui_ptr_array.h"

namespace SkinUI {

COptionUI::COptionUI()
    : m_bSelected(false), m_dwSelectedBkColor(0), m_dwSelectedTextColor(0), m_nSelectedStateCount(0) {}

COptionUI::~COptionUI() {
  if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) m_pManager->RemoveOptionGroup(m_sGroupName.GetData(), this);
}

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

LPVOID COptionUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Option") == 0) return static_cast<COptionUI*>(this);
  return CButtonUI::GetInterface(pstrName);
}

void COptionUI::SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit) {
  CControlUI::SetManager(pManager, pParent, bInit);
  if (bInit && !m_sGroupName.IsEmpty() && m_pManager != nullptr) {
    m_pManager->AddOptionGroup(m_sGroupName.GetData(), this);
  }
}

void COptionUI::SetGroup(const wchar_t* pStrGroupName) {
  const wchar_t* name = pStrGroupName != nullptr ? pStrGroupName : L"";
  if (m_sGroupName == name) return;
  // Without a manager the option is in no group yet: it joins one when it is attached.
  if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) m_pManager->RemoveOptionGroup(m_sGroupName.GetData(), this);
  m_sGroupName = name;
  if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) m_pManager->AddOptionGroup(m_sGroupName.GetData(), this);
}

bool COptionUI::StoreSelected(bool bSelected) {
  if (m_bSelected == bSelected) return false;
  m_bSelected = bSelected;
  if (m_bSelected)
    m_uButtonState |= UISTATE_SELECTED;
  else
    m_uButtonState &= ~UISTATE_SELECTED;
  return true;
}

void COptionUI::UnselectPartners() {
  CUIPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName.GetData());
  if (group == nullptr) return;
  std::vector<COptionUI*> partners;
  for (int i = 0; i < group->GetSize(); ++i) {
    COptionUI* other = static_cast<COptionUI*>(group->GetAt(i));
    if (other != this) partners.push_back(other);
  }
  for (COptionUI* other : partners) {
    CUIPtrArray* now = m_pManager->GetOptionGroup(m_sGroupName.GetData());
    if (now != nullptr && now->Find(other) >= 0) other->Selected(false);
  }
}

void COptionUI::SendSelectChanged(WPARAM wParam) {
  if (m_pManager != nullptr) m_pManager->SendNotify(this, L"selectchanged", wParam, 0);
}

void COptionUI::Selected(bool bSelected) {
  if (!StoreSelected(bSelected)) return;
  CControlWatch alive(this);
  if (m_pManager != nullptr) {
    if (m_sGroupName.IsEmpty()) {
      SendSelectChanged(0);
    } else if (m_bSelected) {
      UnselectPartners();
      SendSelectChanged(0);
    }
  }
  if (alive) Invalidate();
}

bool COptionUI::Activate() {
  CControlWatch alive(this);
  if (!CButtonUI::Activate()) return false;
  if (!alive) return true;
  if (m_sGroupName.IsEmpty())
    Selected(!m_bSelected);
  else
    Selected(true);
  return true;
}

void COptionUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = m_bSelected ? UINT{UISTATE_SELECTED} : 0u;
}

const wchar_t* COptionUI::GetSelectedStateImage() { return m_sSelectedStateImage.GetData(); }
void COptionUI::SetSelectedStateImage(const wchar_t* pStrImage) {
  m_sSelectedStateImage = pStrImage;
  Invalidate();
}
void COptionUI::SetSelectedImage(const wchar_t* pStrImage) {
  m_sSelectedImage = pStrImage;
  Invalidate();
}
void COptionUI::SetSelectedHotImage(const wchar_t* pStrImage) {
  m_sSelectedHotImage = pStrImage;
  Invalidate();
}
void COptionUI::SetSelectedPushedImage(const wchar_t* pStrImage) {
  m_sSelectedPushedImage = pStrImage;
  Invalidate();
}
void COptionUI::SetSelectedForeImage(const wchar_t* pStrImage) {
  m_sSelectedForeImage = pStrImage;
  Invalidate();
}
void COptionUI::SetSelectedStateCount(int nCount) {
  m_nSelectedStateCount = nCount;
  Invalidate();
}

void COptionUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  const wchar_t* n = pstrName;
  const wchar_t* v = pstrValue;
  if (_wcsicmp(n, L"group") == 0)
    SetGroup(v);
  else if (_wcsicmp(n, L"selected") == 0)
    Selected(IsTrueValue(v));
  else if (_wcsicmp(n, L"selectedimage") == 0)
    SetSelectedImage(v);
  else if (_wcsicmp(n, L"selectedhotimage") == 0)
    SetSelectedHotImage(v);
  else if (_wcsicmp(n, L"selectedpushedimage") == 0)
    SetSelectedPushedImage(v);
  else if (_wcsicmp(n, L"selectedforeimage") == 0)
    SetSelectedForeImage(v);
  else if (_wcsicmp(n, L"selectedstateimage") == 0)
    SetSelectedStateImage(v);
  else if (_wcsicmp(n, L"selectedstatecount") == 0)
    SetSelectedStateCount(_wtoi(v));
  else if (_wcsicmp(n, L"selectedbkcolor") == 0)
    SetSelectedBkColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"selectedtextcolor") == 0)
    SetSelectedTextColor(ReadColorValue(v));
  else
    CButtonUI::SetAttribute(pstrName, pstrValue);
}

CCheckBoxUI::CCheckBoxUI() : m_bAutoCheck(false) {}
CCheckBoxUI::~CCheckBoxUI() = default;

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBoxUI"; }

LPVOID CCheckBoxUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"CheckBox") == 0) return static_cast<CCheckBoxUI*>(this);
  return COptionUI::GetInterface(pstrName);
}

void CCheckBoxUI::Selected(bool bSelected) {
  if (!StoreSelected(bSelected)) return;
  CControlWatch alive(this);
  if (m_pManager != nullptr) {
    if (m_sGroupName.IsEmpty()) {
      SendSelectChanged(m_bSelected ? 1 : 0);
    } else if (m_bSelected) {
      UnselectPartners();
      SendSelectChanged(1);
    }
  }
  if (alive) Invalidate();
}

void CCheckBoxUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CButtonUI::DoEvent(event);
    return;
  }
  if (m_bAutoCheck && (event.Type == UIEVENT_BUTTONDOWN || event.Type == UIEVENT_DBLCLICK)) {
    if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
      CControlWatch alive(this);
      SetCheck(!GetCheck());
      if (!alive) return;
      if (m_pManager != nullptr) m_pManager->SendNotify(this, L"checkclick");
      if (alive) Invalidate();
    }
    return;
  }
  COptionUI::DoEvent(event);
}

void CCheckBoxUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"EnableAutoCheck") == 0) {
    m_bAutoCheck = IsTrueValue(pstrValue);
  }
  COptionUI::SetAttribute(pstrName, pstrValue);
}

}  // namespace SkinUI
