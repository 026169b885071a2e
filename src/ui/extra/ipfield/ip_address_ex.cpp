#include "ui/extra/ipfield/ip_address_ex.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {
constexpr int kParts = 4;
constexpr int kDigitsPerPart = 3;

int Clamp(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

// The digit a key stands for (top row or numeric pad), or 0.
wchar_t DigitOfKey(wchar_t vk) {
  if (vk >= L'0' && vk <= L'9') return vk;
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<wchar_t>(L'0' + (vk - VK_NUMPAD0));
  return 0;
}
}  // namespace

CIPAddressExUI::CIPAddressExUI() : m_octets{0, 0, 0, 0}, m_nActivePart(0) {
  SetReadOnly(true);
  UpdateText();
}

CIPAddressExUI::~CIPAddressExUI() = default;

const wchar_t* CIPAddressExUI::GetClass() const { return L"IPAddressExUI"; }

// "IPAddress" is the native editor's name: this field answers only for its own type.
LPVOID CIPAddressExUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && wcscmp(pstrName, L"IPAddressEx") == 0) return static_cast<CIPAddressExUI*>(this);
  return CEditUI::GetInterface(pstrName);
}

void CIPAddressExUI::UpdateText() {
  CUIString text;
  text.Format(L"%d.%d.%d.%d", m_octets[0], m_octets[1], m_octets[2], m_octets[3]);
  SetText(text.GetData());
}

void CIPAddressExUI::IncreaseNum() {
  if (m_nActivePart == 0) return;
  m_octets[m_nActivePart - 1] = Clamp(m_octets[m_nActivePart - 1] + 1);
  UpdateText();
}

void CIPAddressExUI::DecreaseNum() {
  if (m_nActivePart == 0) return;
  m_octets[m_nActivePart - 1] = Clamp(m_octets[m_nActivePart - 1] - 1);
  UpdateText();
}

void CIPAddressExUI::CharToInt(wchar_t digit) {
  m_sTyped += digit;
  GetNumInput();
}

void CIPAddressExUI::GetNumInput() {
  if (m_nActivePart == 0) return;
  m_octets[m_nActivePart - 1] = Clamp(_wtoi(m_sTyped.GetData()));
  UpdateText();
}

void CIPAddressExUI::ChoosePartAt(POINT pt) {
  const int d = pt.x - m_rcItem.left;
  const int q = (m_rcItem.right - m_rcItem.left) / kParts;
  if (d <= q)
    m_nActivePart = 1;
  else if (d <= 2 * q)
    m_nActivePart = 2;
  else if (d <= 3 * q)
    m_nActivePart = 3;
  else
    m_nActivePart = 4;
}

void CIPAddressExUI::MovePart(int step) {
  if (!m_sTyped.IsEmpty()) {
    GetNumInput();
    m_sTyped.Empty();
  }
  m_nActivePart += step;
  Invalidate();
}

void CIPAddressExUI::OnDigit(wchar_t digit) {
  if (m_nActivePart == 0) return;
  // The last part has nowhere to move on to: its digits stop at three.
  if (m_sTyped.GetLength() >= kDigitsPerPart) return;
  CharToInt(digit);
  if (m_sTyped.GetLength() == kDigitsPerPart && m_nActivePart < kParts) {
    ++m_nActivePart;
    m_sTyped.Empty();
  }
}

void CIPAddressExUI::OnKeyDown(wchar_t vk) {
  if (vk == VK_DELETE || vk == VK_BACK) {
    if (m_nActivePart != 0) m_octets[m_nActivePart - 1] = 0;
    m_sTyped.Empty();
    UpdateText();
  } else if (DigitOfKey(vk) != 0) {
    OnDigit(DigitOfKey(vk));
  } else if (vk == VK_UP) {
    IncreaseNum();
  } else if (vk == VK_DOWN) {
    DecreaseNum();
  } else if (vk == VK_LEFT && m_nActivePart >= 2) {
    MovePart(-1);
  } else if ((vk == VK_RIGHT || vk == VK_OEM_PERIOD || vk == VK_DECIMAL) && m_nActivePart < kParts) {
    MovePart(+1);
  }
}

void CIPAddressExUI::DoEvent(EventRecordUI& event) {
  const bool enabled = IsEnabled();
  switch (event.Type) {
    case UIEVENT_KILLFOCUS:
      if (enabled) {
        m_nActivePart = 0;
        Invalidate();
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (enabled) {
        m_sTyped.Empty();
        ChoosePartAt(event.ptMouse);
        UpdateText();
      }
      break;
    case UIEVENT_SCROLLWHEEL:
      if (enabled) {
        if (event.wParam == 0)
          IncreaseNum();
        else
          DecreaseNum();
      }
      break;
    case UIEVENT_KEYDOWN:
      if (enabled) OnKeyDown(event.chKey);
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
