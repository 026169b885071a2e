#!/usr/bin/env python3
"""Checks the control classes' virtual tables, as the compiler laid them out (-fdump-lang-class),
against the slot order every control keeps: the base control's operations first, each class's own
appended after the last, overrides in place. Usage: check_vtables.py <dump file>"""
import re
import sys

# "~ ~": the Itanium ABI gives the virtual destructor two slots.
CONTROL = """~ ~ GetName SetName GetClass GetInterface GetControlFlags Activate GetManager SetManager GetParent
GetText SetText IsResourceText SetResourceText IsDragEnabled SetDragEnabled IsDropEnabled SetDropEnabled
GetRelativePos GetClientPos GetPos SetPos Move GetWidth GetHeight GetX GetY GetPadding SetPadding
GetFixedXY SetFixedXY GetFixedWidth SetFixedWidth GetFixedHeight SetFixedHeight GetMinWidth SetMinWidth
GetMaxWidth SetMaxWidth GetMinHeight SetMinHeight GetMaxHeight SetMaxHeight GetFloatPercent
SetFloatPercent SetFloatAlign GetFloatAlign GetToolTip SetToolTip SetToolTipWidth GetToolTipWidth
GetCursor SetCursor GetShortcut SetShortcut IsContextMenuEnabled SetContextMenuEnabled GetUserData
SetUserData GetTag SetTag IsVisible SetVisible SetInternalVisible IsEnabled SetEnabled IsMouseEnabled
SetMouseEnabled IsKeyboardEnabled SetKeyboardEnabled IsFocused SetFocus IsFloat SetFloat FindControl
Init DoInit Event DoEvent SetAttribute EstimateSize DoPaint PaintBkColor PaintBkImage PaintStatusImage
PaintForeColor PaintForeImage PaintText PaintBorder DoPostPaint""".split()
CONTAINER_OWN = """GetInset SetInset GetChildPadding SetChildPadding GetChildAlign SetChildAlign GetChildVAlign
SetChildVAlign IsAutoDestroy SetAutoDestroy IsDelayedDestroy SetDelayedDestroy IsMouseChildEnabled
SetMouseChildEnabled FindSelectable GetScrollPos GetScrollRange SetScrollPos SetScrollStepSize
GetScrollStepSize LineUp LineDown PageUp PageDown HomeUp EndDown LineLeft LineRight PageLeft PageRight
HomeLeft EndRight EnableScrollBar GetVerticalScrollBar GetHorizontalScrollBar SetFloatPos
ProcessScrollBar""".split()
ICONTAINER = "GetItemAt GetItemIndex SetItemIndex GetCount Add AddAt Remove RemoveAt RemoveAll".split()
# The Itanium ABI also repeats the list interface's overriders at the end of the primary table.
CONTAINER = CONTROL + CONTAINER_OWN + ICONTAINER
LAYOUT_OVERRIDES = "~ GetClass GetInterface GetControlFlags SetPos DoEvent SetAttribute DoPostPaint"
LABEL = CONTROL + ["GetAutoCalcWidth", "SetAutoCalcWidth"]
LABEL_OVERRIDES = "~ GetClass GetInterface GetControlFlags SetText DoEvent SetAttribute EstimateSize PaintText".split()
BUTTON = LABEL + """GetNormalImage SetNormalImage GetHotImage SetHotImage GetPushedImage SetPushedImage GetFocusedImage
SetFocusedImage GetDisabledImage SetDisabledImage GetHotForeImage SetHotForeImage GetStateImage SetStateImage""".split()
BUTTON_OVERRIDES = """~ GetClass GetInterface GetControlFlags Activate SetEnabled DoEvent SetAttribute PaintBkColor
PaintStatusImage PaintForeImage PaintText""".split()
OPTION = BUTTON + "GetSelectedStateImage SetSelectedStateImage Selected".split()
OPTION_OVERRIDES = """~ GetClass GetInterface Activate SetManager SetEnabled SetAttribute PaintBkColor PaintStatusImage
PaintForeImage PaintText""".split()
EXPECTED = {  # class: (primary table, overrides of base-control slots)
    "CControlUI": (CONTROL, set(CONTROL)),
    "CContainerUI": (CONTAINER, set("""~ GetClass GetInterface SetManager GetClientPos SetPos Move SetVisible
        SetInternalVisible SetEnabled SetMouseEnabled FindControl DoEvent SetAttribute DoPaint""".split())),
    "CScrollBarUI": (CONTROL, set("~ GetClass GetInterface SetPos SetVisible SetEnabled SetFocus DoEvent "
                                  "SetAttribute DoPaint".split())),
    "CVerticalLayoutUI": (CONTAINER, set(LAYOUT_OVERRIDES.split())),
    "CHorizontalLayoutUI": (CONTAINER, set(LAYOUT_OVERRIDES.split())),
    "CTileLayoutUI": (CONTAINER, set("~ GetClass GetInterface SetPos SetAttribute".split())),
    "CTabLayoutUI": (CONTAINER + "SelectItem SelectItem".split(), set("~ GetClass GetInterface SetPos SetAttribute".split())),
    "CChildLayoutUI": (CONTAINER, set("~ GetClass GetInterface Init SetAttribute".split())),
    "CLabelUI": (LABEL, set(LABEL_OVERRIDES)),
    "CButtonUI": (BUTTON, set(BUTTON_OVERRIDES)),
    "COptionUI": (OPTION, set(OPTION_OVERRIDES)),
    "CCheckBoxUI": (OPTION, set("~ GetClass GetInterface DoEvent SetAttribute".split())),
    "CProgressUI": (LABEL + ["UpdateText"], set("~ GetClass GetInterface SetAttribute PaintForeColor PaintForeImage".split())),
    "CEditUI": (LABEL, set("""~ GetClass GetInterface GetControlFlags SetText SetPos Move SetVisible SetInternalVisible
        SetEnabled DoEvent SetAttribute EstimateSize PaintStatusImage PaintText""".split())),
}


def read_vtables(path):
    """{class: [(owner, operation)]} of each primary table, {class: [operation]} of its list-interface
    table (reached through this-adjusting thunks)."""
    primary, secondary, cls, in_primary = {}, {}, None, False
    with open(path, encoding="utf-8", errors="replace") as dump:
        for line in dump:
            line = line.strip()
            head = re.match(r"^Vtable for SkinUI::(\w+)$", line)
            if head:
                cls, in_primary = head.group(1), True
                primary[cls] = []
                continue
            entry = re.match(r"^\d+\s+\(int \(\*\)\(...\)\)(.*)$", line)
            if cls is None or not line or not entry:
                cls = None if not line else cls
                continue
            target = entry.group(1)
            if re.fullmatch(r"-?\d+", target):
                in_primary = in_primary and not primary[cls]  # an offset after slots opens another table
                continue
            thunk = re.match(r"^SkinUI::\w+::_ZThn\d+_NK?6SkinUI\d+\w+?UI(\d+)", target)
            if thunk:
                secondary.setdefault(cls, []).append(target[thunk.end():thunk.end() + int(thunk.group(1))])
            elif in_primary and not target.startswith("(& _ZTI"):
                name = re.match(r"^SkinUI::(\w+)::(~?\w+)$", target)
                owner, op = name.groups() if name else ("?", target)
                primary[cls].append((owner, "~" if op.startswith("~") else op))
    return primary, secondary


def main():
    primary, secondary = read_vtables(sys.argv[1])
    failures = []
    for cls, (slots, overrides) in EXPECTED.items():
        got = [op for _, op in primary.get(cls, [])]
        if got != slots:
            at = next((i for i, (a, b) in enumerate(zip(got, slots)) if a != b), min(len(got), len(slots)))
            failures.append(f"{cls}: slot {at} is {got[at:at + 1]} where {slots[at:at + 1]} belongs "
                            f"({len(got)} slots, {len(slots)} expected)")
        own = {op for owner, op in primary.get(cls, [])[:len(CONTROL)] if owner == cls}
        if own != overrides:
            failures.append(f"{cls}: overrides {sorted(own ^ overrides)} differ")
        if slots[:len(CONTAINER)] == CONTAINER and secondary.get(cls) != ICONTAINER:
            failures.append(f"{cls}: list interface slots {secondary.get(cls)}")
    for failure in failures:
        print("FAIL", failure)
    failed = len({f.split(":")[0] for f in failures})
    print(f"{len(EXPECTED) - failed} passed, {failed} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
