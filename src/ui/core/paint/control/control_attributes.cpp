#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {

bool IsTrue(const wchar_t* value) { return _wcsicmp(value, L"true") == 0; }

// Hexadecimal digits from the start, up to the first other unit.
DWORD ReadHex(const wchar_t* p) {
  DWORD value = 0;
  for (;; ++p) {
    wchar_t ch = *p;
    int digit = (ch >= L'0' && ch <= L'9')   ? ch - L'0'
                : (ch >= L'a' && ch <= L'f') ? ch - L'a' + 10
                : (ch >= L'A' && ch <= L'F') ? ch - L'A' + 10
                                             : -1;
    if (digit < 0) return value;
    value = (value << 4) | static_cast<DWORD>(digit);
  }
}

// "#AARRGGBB" or "AARRGGBB"; leading blanks are skipped only where asked.
DWORD ReadColor(const wchar_t* value, bool skipBlanks) {
  const wchar_t* p = value;
  if (skipBlanks) {
    while (*p != L'\0' && *p <= L' ') ++p;
  }
  if (*p == L'#') ++p;
  return ReadHex(p);
}

// Names of the styles being applied on this thread: a style that names itself, directly or
// through others, is applied once.
std::vector<std::wstring>& ActiveStyles() {
  thread_local std::vector<std::wstring> active;
  return active;
}

class StyleScope {
 public:
  explicit StyleScope(const wchar_t* name) : m_entered(false) {
    std::vector<std::wstring>& active = ActiveStyles();
    for (const std::wstring& open : active) {
      if (open == name) return;
    }
    active.push_back(name);
    m_entered = true;
  }
  ~StyleScope() {
    if (m_entered) ActiveStyles().pop_back();
  }
  bool entered() const { return m_entered; }

 private:
  bool m_entered;
};

WORD CursorFromWord(const wchar_t* value) {
  static const struct {
    const wchar_t* word;
    WORD id;
  } kCursors[] = {{L"arrow", 32512},    {L"ibeam", 32513},  {L"wait", 32514},   {L"cross", 32515},
                  {L"uparrow", 32516},  {L"size", 32640},   {L"icon", 32641},   {L"sizenwse", 32642},
                  {L"sizenesw", 32643}, {L"sizewe", 32644}, {L"sizens", 32645}, {L"sizeall", 32646},
                  {L"no", 32648},       {L"hand", 32649}};
  for (const auto& c : kCursors) {
    if (_wcsicmp(value, c.word) == 0) return c.id;
  }
  return 0;
}

UINT ApplyFloatAlignWords(UINT align, const wchar_t* value) {
  CUIString word;
  for (const wchar_t* p = value;; ++p) {
    if (*p != L'\0' && *p != L',' && *p != L' ') {
      word += *p;
      continue;
    }
    if (word.CompareNoCase(L"null") == 0)
      align = 0;
    else if (word.CompareNoCase(L"left") == 0)
      align &= ~(DT_CENTER | DT_RIGHT);
    else if (word.CompareNoCase(L"center") == 0)
      align = (align & ~DT_RIGHT) | DT_CENTER;
    else if (word.CompareNoCase(L"right") == 0)
      align = (align & ~DT_CENTER) | DT_RIGHT;
    else if (word.CompareNoCase(L"top") == 0)
      align &= ~(DT_VCENTER | DT_BOTTOM);
    else if (word.CompareNoCase(L"vcenter") == 0)
      align = (align & ~DT_BOTTOM) | DT_VCENTER;
    else if (word.CompareNoCase(L"bottom") == 0)
      align = (align & ~DT_VCENTER) | DT_BOTTOM;
    word.Empty();
    if (*p == L'\0') break;
  }
  return align;
}

// Reads name="value" pairs separated by one space or comma; a malformed pair ends the list.
template <class Apply>
void ForEachAttributePair(const wchar_t* list, Apply apply) {
  CUIString text(list);
  text.Replace(L"&quot;", L"\"");
  const wchar_t* p = text.GetData();
  while (*p != L'\0') {
    const wchar_t* eq = wcschr(p, L'=');
    if (eq == nullptr || eq[1] != L'"') return;
    CUIString name(p, static_cast<int>(eq - p));
    const wchar_t* valueStart = eq + 2;
    const wchar_t* close = wcschr(valueStart, L'"');
    if (close == nullptr) return;
    CUIString value(valueStart, static_cast<int>(close - valueStart));
    apply(name.GetData(), value.GetData());
    p = close + 1;
    if (*p == L'\0') return;
    if (*p != L' ' && *p != L',') return;
    ++p;
  }
}

}  // namespace

void CControlUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (m_pManager != nullptr) {
    const wchar_t* style = m_pManager->GetStyle(pstrValue);
    if (style != nullptr) {
      StyleScope scope(pstrValue);
      if (scope.entered()) ApplyAttributeList(style);
      return;
    }
  }
  if (SetPaintAttribute(pstrName, pstrValue)) return;
  const wchar_t* name = pstrName;
  const wchar_t* value = pstrValue;
  if (_wcsicmp(name, L"pos") == 0) {
    long v[4];
    ReadNumberList(value, v, 4);
    SIZE xy = {v[0] >= 0 ? v[0] : v[2], v[1] >= 0 ? v[1] : v[3]};
    SetFixedXY(xy);
    SetFixedWidth(v[2] - v[0]);
    SetFixedHeight(v[3] - v[1]);
  } else if (_wcsicmp(name, L"float") == 0) {
    if (wcschr(value, L',') == nullptr) {
      SetFloat(IsTrue(value));
    } else {
      FloatPercent percent = {0, 0, 0, 0};
      double* slots[4] = {&percent.left, &percent.top, &percent.right, &percent.bottom};
      const wchar_t* p = value;
      for (double* slot : slots) {
        wchar_t* end = nullptr;
        *slot = wcstod(p, &end);
        p = end;
        if (*p != L'\0') ++p;
      }
      SetFloatPercent(percent);
      SetFloat(true);
    }
  } else if (_wcsicmp(name, L"floatalign") == 0) {
    SetFloatAlign(ApplyFloatAlignWords(GetFloatAlign(), value));
  } else if (_wcsicmp(name, L"padding") == 0) {
    long v[4];
    ReadNumberList(value, v, 4);
    RECT padding = {v[0], v[1], v[2], v[3]};
    SetPadding(padding);
  } else if (_wcsicmp(name, L"width") == 0) {
    SetFixedWidth(_wtoi(value));
  } else if (_wcsicmp(name, L"height") == 0) {
    SetFixedHeight(_wtoi(value));
  } else if (_wcsicmp(name, L"minwidth") == 0) {
    SetMinWidth(_wtoi(value));
  } else if (_wcsicmp(name, L"minheight") == 0) {
    SetMinHeight(_wtoi(value));
  } else if (_wcsicmp(name, L"maxwidth") == 0) {
    SetMaxWidth(_wtoi(value));
  } else if (_wcsicmp(name, L"maxheight") == 0) {
    SetMaxHeight(_wtoi(value));
  } else if (_wcsicmp(name, L"name") == 0) {
    SetName(value);
  } else if (_wcsicmp(name, L"drag") == 0) {
    SetDragEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"drop") == 0) {
    SetDropEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"resourcetext") == 0) {
    SetResourceText(IsTrue(value));
  } else if (_wcsicmp(name, L"text") == 0) {
    SetText(value);
  } else if (_wcsicmp(name, L"tooltip") == 0) {
    SetToolTip(value);
  } else if (_wcsicmp(name, L"userdata") == 0) {
    SetUserData(value);
  } else if (_wcsicmp(name, L"enabled") == 0) {
    SetEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"mouse") == 0) {
    SetMouseEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"keyboard") == 0) {
    SetKeyboardEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"visible") == 0) {
    SetVisible(IsTrue(value));
  } else if (_wcsicmp(name, L"shortcut") == 0) {
    SetShortcut(value[0]);
  } else if (_wcsicmp(name, L"menu") == 0) {
    SetContextMenuEnabled(IsTrue(value));
  } else if (_wcsicmp(name, L"cursor") == 0) {
    WORD cursor = CursorFromWord(value);
    if (cursor != 0) SetCursor(cursor);
  } else if (_wcsicmp(name, L"virtualwnd") == 0) {
    SetVirtualWnd(value);
  } else if (_wcsicmp(name, L"innerstyle") == 0) {
    ForEachAttributePair(value, [this](const wchar_t* n, const wchar_t* v) { SetAttribute(n, v); });
  } else {
    AddCustomAttribute(name, value);
  }
}

// The attributes of colours, images and borders; false for any other name.
bool CControlUI::SetPaintAttribute(const wchar_t* name, const wchar_t* value) {
  if (_wcsicmp(name, L"gradient") == 0) {
    SetGradient(value);
  } else if (_wcsicmp(name, L"bkcolor") == 0 || _wcsicmp(name, L"bkcolor1") == 0) {
    SetBkColor(ReadColor(value, true));
  } else if (_wcsicmp(name, L"bkcolor2") == 0) {
    SetBkColor2(ReadColor(value, true));
  } else if (_wcsicmp(name, L"bkcolor3") == 0) {
    SetBkColor3(ReadColor(value, true));
  } else if (_wcsicmp(name, L"forecolor") == 0) {
    SetForeColor(ReadColor(value, true));
  } else if (_wcsicmp(name, L"bordercolor") == 0) {
    SetBorderColor(ReadColor(value, false));
  } else if (_wcsicmp(name, L"focusbordercolor") == 0) {
    SetFocusBorderColor(ReadColor(value, false));
  } else if (_wcsicmp(name, L"colorhsl") == 0) {
    SetColorHSL(IsTrue(value));
  } else if (_wcsicmp(name, L"bordersize") == 0) {
    long v[4];
    ReadNumberList(value, v, 4);
    if (wcschr(value, L',') == nullptr) {
      SetBorderSize(_wtoi(value));
      SetBorderRectSize(RECT{0, 0, 0, 0});
    } else {
      SetBorderRectSize(RECT{v[0], v[1], v[2], v[3]});
    }
  } else if (_wcsicmp(name, L"leftbordersize") == 0) {
    SetLeftBorderSize(_wtoi(value));
  } else if (_wcsicmp(name, L"topbordersize") == 0) {
    SetTopBorderSize(_wtoi(value));
  } else if (_wcsicmp(name, L"rightbordersize") == 0) {
    SetRightBorderSize(_wtoi(value));
  } else if (_wcsicmp(name, L"bottombordersize") == 0) {
    SetBottomBorderSize(_wtoi(value));
  } else if (_wcsicmp(name, L"borderstyle") == 0) {
    SetBorderStyle(_wtoi(value));
  } else if (_wcsicmp(name, L"borderround") == 0) {
    long v[2];
    ReadNumberList(value, v, 2);
    SetBorderRound(SIZE{v[0], v[1]});
  } else if (_wcsicmp(name, L"bkimage") == 0) {
    SetBkImage(value);
  } else if (_wcsicmp(name, L"foreimage") == 0) {
    SetForeImage(value);
  } else {
    return false;
  }
  return true;
}

void CControlUI::ApplyAttributeList(const wchar_t* pstrList) {
  if (pstrList == nullptr) return;
  if (m_pManager != nullptr) {
    const wchar_t* style = m_pManager->GetStyle(pstrList);
    if (style != nullptr) {
      StyleScope scope(pstrList);
      if (scope.entered()) ApplyAttributeList(style);
      return;
    }
  }
  ForEachAttributePair(pstrList, [this](const wchar_t* n, const wchar_t* v) { SetAttribute(n, v); });
}

void CControlUI::AddCustomAttribute(const wchar_t* pstrName, const wchar_t* pstrAttr) {
  if (pstrName == nullptr || pstrName[0] == L'\0' || pstrAttr == nullptr || pstrAttr[0] == L'\0') return;
  CUIString* value = new CUIString(pstrAttr);
  if (!m_mCustomAttrHash.Insert(pstrName, value)) delete value;
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* pstrName) const {
  if (pstrName == nullptr) return nullptr;
  CUIString* value = static_cast<CUIString*>(m_mCustomAttrHash.Find(pstrName));
  return value != nullptr ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttribute() {
  for (int i = 0; i < m_mCustomAttrHash.GetSize(); ++i) {
    const wchar_t* key = m_mCustomAttrHash.GetAt(i);
    if (key != nullptr) delete static_cast<CUIString*>(m_mCustomAttrHash.Find(key, false));
  }
  m_mCustomAttrHash.RemoveAll();
}

}  // namespace SkinUI
