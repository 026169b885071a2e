#include <cstdlib>
#include <cwchar>

#include "ui/core/control.h"
#include "ui/core/paint_manager.h"

namespace SkinUI {

namespace {

bool IsTrue(const wchar_t* value) { return _wcsicmp(value, L"true") == 0; }

// Reads "a,b,c,d": each number up to its first non-digit, then exactly one separator unit.
void ReadNumbers(const wchar_t* value, long* out, int count) {
    const wchar_t* p = value;
    for (int i = 0; i < count; ++i) {
        out[i] = 0;
        if (p == nullptr || *p == L'\0') continue;
        wchar_t* end = nullptr;
        out[i] = wcstol(p, &end, 10);
        p = end;
        if (*p != L'\0') ++p;
    }
}

WORD CursorFromWord(const wchar_t* value) {
    static const struct {
        const wchar_t* word;
        WORD id;
    } kCursors[] = {{L"arrow", 32512},    {L"ibeam", 32513},    {L"wait", 32514},   {L"cross", 32515},
                    {L"uparrow", 32516},  {L"size", 32640},     {L"icon", 32641},   {L"sizenwse", 32642},
                    {L"sizenesw", 32643}, {L"sizewe", 32644},   {L"sizens", 32645}, {L"sizeall", 32646},
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
        if (word.CompareNoCase(L"null") == 0) align = 0;
        else if (word.CompareNoCase(L"left") == 0) align &= ~(DT_CENTER | DT_RIGHT);
        else if (word.CompareNoCase(L"center") == 0) align = (align & ~DT_RIGHT) | DT_CENTER;
        else if (word.CompareNoCase(L"right") == 0) align = (align & ~DT_CENTER) | DT_RIGHT;
        else if (word.CompareNoCase(L"top") == 0) align &= ~(DT_VCENTER | DT_BOTTOM);
        else if (word.CompareNoCase(L"vcenter") == 0) align = (align & ~DT_BOTTOM) | DT_VCENTER;
        else if (word.CompareNoCase(L"bottom") == 0) align = (align & ~DT_VCENTER) | DT_BOTTOM;
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
            ApplyAttributeList(style);
            return;
        }
    }
    const wchar_t* name = pstrName;
    const wchar_t* value = pstrValue;
    if (_wcsicmp(name, L"pos") == 0) {
        long v[4];
        ReadNumbers(value, v, 4);
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
        ReadNumbers(value, v, 4);
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

void CControlUI::ApplyAttributeList(const wchar_t* pstrList) {
    if (pstrList == nullptr) return;
    if (m_pManager != nullptr) {
        const wchar_t* style = m_pManager->GetStyle(pstrList);
        if (style != nullptr) {
            ApplyAttributeList(style);
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
