#!/usr/bin/env python3
"""Checks the control classes' virtual tables, as the compiler laid them out (-fdump-lang-class),
against the slot order every control keeps: the base control's operations first, each class's own
appended after the last, overrides in place; the list interface's and the animation interface's
tables of the classes that add them. Usage: check_vtables.py <dump file>"""
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
# The list family: the list's editor hooks, then the list interfaces' overriders; rows repeat the
# row interface's; a tree view and its nodes take the builder's tree interface.
LIST_HOOKS = "IsColumnEditable GetCellEdit IsColumnCombo GetCellCombo".split()
ILIST = """GetListType GetListInfo GetCurSel SelectItem SelectMultiItem UnSelectItem GetHeader GetList
GetTextCallback SetTextCallback ExpandItem GetExpandedItem SetMultiSelect IsMultiSelect SelectAllItems
UnSelectAllItems GetSelectItemCount GetNextSelItem""".split()
LIST = CONTAINER + LIST_HOOKS + ILIST
ILISTITEM = "GetIndex SetIndex GetOwner SetOwner IsSelected Select SelectMulti IsExpanded Expand DrawItemText".split()
TREE_PARENT = ["AddTreeItem", "GetTreeItemView"]
TREE_VIEW = LIST + """Add AddAt AddAt Remove OnCheckBoxChanged OnFolderChanged OnDBClickItem SetItemCheckBox
SetItemExpand SetVisibleFolderBtn GetVisibleFolderBtn SetVisibleCheckBtn GetVisibleCheckBtn SetItemMinWidth
GetItemMinWidth SetItemTextColor SetItemHotTextColor SetSelItemTextColor SetSelItemHotTextColor""".split()
# A combo owns list items: the owner interface's overriders follow the container's slots.
COMBO = CONTAINER + "GetListType GetListInfo GetCurSel SelectItem SelectMultiItem UnSelectItem".split()
LIST_EX = LIST + "IsColumnCheckable GetComboCallback SetComboCallback Notify".split()
WINDOW = "GetWindowClassName GetSuperClassName GetClassStyle HandleMessage OnFinalMessage".split()
MENU_WND_OWN = "Receive Notify CreateControl".split()
OBSERVER = "AddReceiver RemoveReceiver Broadcast SetMainManager GetMainManager SetCheckMap GetCheckMap".split()
RECEIVER = "AddObserver RemoveObserver Receive".split()
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
    "CTextUI": (LABEL, set("~ GetClass GetInterface GetControlFlags DoEvent EstimateSize PaintText".split())),
    "CGroupBoxUI": (CONTAINER, set("~ GetClass GetInterface SetAttribute PaintText PaintBorder".split())),
    # A further base's overriders are repeated at the end of the primary table.
    "CAnimationTabLayoutUI": (CONTAINER + "SelectItem SelectItem OnAnimationStep OnAnimationStop".split(),
                              set("~ GetClass GetInterface DoEvent SetAttribute".split()),
                              set("SelectItem OnAnimationStep OnAnimationStop".split())),
    "CFadeButtonUI": (BUTTON + ["OnAnimationStep"], set("~ GetClass GetInterface DoEvent PaintStatusImage".split()),
                      set("SetNormalImage OnAnimationStep".split())),
    # The rich edit's own three, then its message filter's overrider repeated.
    "CRichEditUI": (CONTAINER + "TxSendMessage OnTxViewChanged OnTxNotify MessageHandler".split(),
                    set("""~ GetClass GetInterface GetControlFlags GetText SetText SetPos Move SetEnabled DoInit
        DoEvent SetAttribute DoPaint PaintStatusImage""".split()),
                    set("""SetScrollPos LineUp LineDown PageUp PageDown HomeUp EndDown LineLeft LineRight PageLeft
        PageRight HomeLeft EndRight TxSendMessage OnTxViewChanged OnTxNotify MessageHandler""".split())),
    "CListUI": (LIST, set("~ GetClass GetInterface SetPos Move DoEvent SetAttribute".split())),
    # The body also paints, finds and places only the rows in view, and keeps its record of them.
    "CListBodyUI": (CONTAINER, set("""~ SetPos SetVisible SetInternalVisible FindControl DoEvent
        DoPaint""".split())),
    "CListHeaderUI": (CONTAINER, set("~ GetClass GetInterface SetPos SetAttribute EstimateSize".split())),
    "CListHeaderItemUI": (CONTAINER, set("""~ GetClass GetInterface GetControlFlags SetEnabled DoEvent SetAttribute
        EstimateSize PaintStatusImage PaintText""".split())),
    "CListLabelElementUI": (CONTROL + ILISTITEM, set("~ GetClass GetInterface DoEvent EstimateSize DoPaint".split())),
    "CListTextElementUI": (CONTROL + ILISTITEM, set("~ GetClass GetInterface GetControlFlags DoEvent EstimateSize".split())),
    "CListContainerElementUI": (CONTAINER + ["DrawItemBk"] + ILISTITEM, set("""~ GetClass GetInterface GetControlFlags
        Activate GetPos SetPos SetVisible SetEnabled DoEvent SetAttribute DoPaint""".split())),
    "CTreeNodeUI": (CONTAINER + ["DrawItemBk"] + ILISTITEM + TREE_PARENT,
                    set("~ GetClass GetInterface DoEvent SetAttribute".split())),
    "CTreeViewUI": (TREE_VIEW + ["Notify"] + TREE_PARENT, set("~ GetClass GetInterface SetAttribute".split())),
    "CSliderUI": (LABEL + ["UpdateText"], set("~ GetClass GetInterface SetEnabled DoEvent SetAttribute "
                                               "PaintForeImage".split())),
    "CGifAnimUI": (CONTROL, set("~ GetClass GetInterface SetVisible DoInit DoEvent SetAttribute DoPaint".split())),
    "CRingUI": (LABEL, set("~ GetClass GetInterface DoEvent SetAttribute PaintBkImage".split())),
    # The rolling text's one-argument SetPos is a slot of its own after the label's.
    "CRollTextUI": (LABEL + ["SetPos"], set("~ GetClass GetInterface SetText DoEvent PaintText".split())),
    "CColorPaletteUI": (CONTROL + ["PaintPallet"], set("""~ GetClass GetInterface SetPos DoInit DoEvent SetAttribute
        PaintBkColor""".split())),
    "CComboUI": (COMBO, set("""~ GetClass GetInterface GetText Activate SetPos Move SetEnabled DoEvent SetAttribute
        EstimateSize DoPaint PaintStatusImage PaintText""".split())),
    "CComboBoxUI": (COMBO, set("~ GetClass SetAttribute PaintStatusImage PaintText".split())),
    "CListExUI": (LIST_EX, set("~ GetClass GetInterface SetManager SetPos DoEvent".split())),
    "CListContainerHeaderItemUI": (CONTAINER, set("""~ GetClass GetInterface GetControlFlags DoEvent SetAttribute
        EstimateSize PaintStatusImage PaintText""".split())),
    "CListTextExtElementUI": (CONTROL + ILISTITEM, set("""~ GetClass GetInterface DoEvent SetAttribute DoPaint
        PaintStatusImage""".split())),
    # A menu takes menu items only; an item keeps its nested items out of its own layout.
    "CMenuUI": (LIST, set("~ GetClass GetInterface EstimateSize".split()),
                set("GetItemIndex SetItemIndex Add AddAt Remove GetListType".split())),
    "CMenuElementUI": (CONTAINER + ["DrawItemBk"] + ILISTITEM, set("""~ GetClass GetInterface SetPos DoEvent
        SetAttribute EstimateSize DoPaint""".split()), {"DrawItemText"}),
    # The menu window: the window wrapper's table, then its further bases' overriders; the observer.
    "CMenuWnd": (WINDOW + MENU_WND_OWN + ["~", "~"], set(WINDOW + MENU_WND_OWN + ["~"])),
    "MenuObserverImpl": (OBSERVER, set(OBSERVER)),
    "MenuReceiverImpl": (RECEIVER, set(RECEIVER)),
    # The self-drawn IP field is an edit; the native editors are labels.
    "CIPAddressExUI": (LABEL, set("~ GetClass GetInterface DoEvent PaintText".split())),
    "CDateTimeUI": (LABEL, set("~ GetClass GetInterface DoEvent".split())),
    "CIPAddressUI": (LABEL, set("~ GetClass GetInterface DoInit DoEvent".split())),
    "CHotKeyUI": (LABEL, set("""~ GetClass GetInterface GetControlFlags SetText SetVisible SetInternalVisible SetEnabled
        DoEvent SetAttribute EstimateSize PaintStatusImage PaintText""".split())),
}
# Tables of further bases, by their first operation, and what the class overrides there.
FURTHER = {"CMenuWnd": [("AddObserver", RECEIVER, {"Receive"})]}
# The animation interface's table, as the classes that animate inherit it, and what each overrides there.
ANIMATION = """~ ~ StartAnimation StopAnimation IsAnimationRunning GetCurrentFrame SetCurrentFrame OnAnimationStep
OnAnimationStart OnAnimationStop OnAnimationElapse""".split()
ANIMATED = {
    "CAnimationTabLayoutUI": set("~ OnAnimationStep OnAnimationStop".split()),
    "CFadeButtonUI": set("~ OnAnimationStep".split()),
}


def thunk_target(target):
    """(class, operation) of a this-adjusting thunk's mangled target, or None."""
    head = re.match(r"^SkinUI::\w+::_ZThn\d+_NK?6SkinUI(\d+)", target)
    if not head:
        return None
    rest = target[head.end():]
    length = int(head.group(1))
    cls, rest = rest[:length], rest[length:]
    if re.match(r"^D[01]Ev", rest):
        return cls, "~"
    name = re.match(r"^(\d+)", rest)
    return (cls, rest[name.end():name.end() + int(name.group(1))]) if name else None


def read_vtables(path):
    """{class: [table, ...]}, each table a list of (owner, operation); the first is the primary one,
    the others belong to the further bases and reach their overriders through thunks."""
    tables, cls = {}, None
    with open(path, encoding="utf-8", errors="replace") as dump:
        for line in dump:
            line = line.strip()
            head = re.match(r"^Vtable for SkinUI::(\w+)$", line)
            if head:
                cls = head.group(1)
                tables[cls] = [[]]
                continue
            entry = re.match(r"^\d+\s+\(int \(\*\)\(...\)\)(.*)$", line)
            if cls is None or not line or not entry:
                cls = None if not line else cls
                continue
            target = entry.group(1)
            if re.fullmatch(r"-?\d+", target):
                if tables[cls][-1]:
                    tables[cls].append([])  # an offset after slots opens another table
                continue
            if target.startswith("(& _ZTI"):
                continue
            thunk = thunk_target(target)
            if thunk:
                tables[cls][-1].append(thunk)
                continue
            name = re.match(r"^SkinUI::(\w+)::(~?\w+)$", target)
            owner, op = name.groups() if name else ("?", target)
            tables[cls][-1].append((owner, "~" if op.startswith("~") else op))
    return tables


def table_with(tables, first_op):
    return next((t for t in tables[1:] if any(op == first_op for _, op in t)), None)


def main():
    tables = read_vtables(sys.argv[1])
    failures = []
    for cls, expected in EXPECTED.items():
        slots, overrides = expected[0], expected[1]
        primary = tables.get(cls, [[]])[0]
        got = [op for _, op in primary]
        if got != slots:
            at = next((i for i, (a, b) in enumerate(zip(got, slots)) if a != b), min(len(got), len(slots)))
            failures.append(f"{cls}: slot {at} is {got[at:at + 1]} where {slots[at:at + 1]} belongs "
                            f"({len(got)} slots, {len(slots)} expected)")
        own = {op for owner, op in primary[:len(CONTROL)] if owner == cls}
        if own != overrides:
            failures.append(f"{cls}: overrides {sorted(own ^ overrides)} differ")
        if len(expected) > 2:
            own_later = {op for owner, op in primary[len(CONTROL):] if owner == cls}
            if own_later != expected[2]:
                failures.append(f"{cls}: overrides after the base slots {sorted(own_later ^ expected[2])} differ")
        if slots[:len(CONTAINER)] == CONTAINER:
            listing = table_with(tables.get(cls, [[]]), "GetItemAt")
            if listing is None or [op for _, op in listing] != ICONTAINER:
                failures.append(f"{cls}: list interface slots {listing}")
        if cls in ANIMATED:
            animation = table_with(tables.get(cls, [[]]), "StartAnimation")
            ops = [op for _, op in animation] if animation else None
            own_animation = {op for owner, op in animation or [] if owner == cls}
            if ops != ANIMATION or own_animation != ANIMATED[cls]:
                failures.append(f"{cls}: animation slots {animation}")
        for first, ops, own_ops in FURTHER.get(cls, []):
            table = table_with(tables.get(cls, [[]]), first) or []
            if [op for _, op in table] != ops or {op for owner, op in table if owner == cls} != own_ops:
                failures.append(f"{cls}: {first} table {table}")
    for failure in failures:
        print("FAIL", failure)
    failed = len({f.split(":")[0] for f in failures})
    print(f"{len(EXPECTED) - failed} passed, {failed} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
