// Open combos: the drop-down is a real pop-up window that has the keyboard focus and closes when
// it loses it, so these run in the focus tests' program.
#include <gtest/gtest.h>

#include "list_support.h"
#include "strip_image.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/combo/combo_wnd.h"

using namespace SkinUI;
using skinui_test::CountColour;
using skinui_test::ExtraWindow;

namespace {

const WPARAM kWheelDown = MAKEWPARAM(0, -WHEEL_DELTA);

std::wstring Items(int count) {
  std::wstring items;
  for (int i = 0; i < count; ++i)
    items += L"<ListLabelElement height=\"20\" text=\"Item " + std::to_wstring(i) + L"\"/>";
  return items;
}

// "combo": three items; "long": twenty items in a drop-down at most 100 high, the wheel scrolling
// its list; "box": a combo box with a red, green, blue, yellow, purple arrow strip.
std::wstring Skin() {
  std::wstring arrow =
      skinui_test::WriteStripImage(L"arrow", 20, 16, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF});
  return L"<Window size=\"300,200\"><VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"20,20,20,20\">"
         L"<Combo name=\"combo\" width=\"160\" height=\"24\">" +
         Items(3) +
         L"</Combo><Combo name=\"long\" width=\"160\" height=\"24\" dropboxsize=\"0,100\" scrollselect=\"false\">" +
         Items(20) + L"</Combo><ComboBox name=\"box\" width=\"160\" height=\"24\" arrowimage=\"file='" + arrow +
         L"' source='0,0,100,16'\">" + Items(2) + L"</ComboBox><Control/></VerticalLayout></Window>";
}

// A window with a shadow of size 6, and two combos: "shadowed" with "showshadow", "plain" without.
std::wstring ShadowSkin() {
  return L"<Window size=\"300,200\" showshadow=\"true\" shadowsize=\"6\"><VerticalLayout bkcolor=\"#FFFFFFFF\" "
         L"inset=\"20,20,20,20\"><Combo name=\"shadowed\" width=\"160\" height=\"24\" showshadow=\"true\">" +
         Items(3) + L"</Combo><Combo name=\"plain\" width=\"160\" height=\"24\">" + Items(3) +
         L"</Combo><Control/></VerticalLayout></Window>";
}

struct ComboWindow : ExtraWindow {
  explicit ComboWindow(const std::wstring& skin = Skin()) : ExtraWindow(skin) {}
  CComboUI* Combo(const wchar_t* name = L"combo") { return Get<CComboUI>(name, L"Combo"); }
  // Clicks the combo; answers its drop-down's window.
  HWND Open(const wchar_t* name = L"combo") {
    ClickAt(Centre(Combo(name)));
    CComboWnd* dropDown = Combo(name)->GetDropDown();
    return dropDown != nullptr ? dropDown->GetHWND() : nullptr;
  }
  RECT OnScreen(CControlUI* control) {
    RECT rc = control->GetPos();
    MapWindowPoints(GetHWND(), HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  // A message straight to the drop-down, at an item's middle (in its client coordinates).
  void ToDropDown(HWND dropDown, UINT msg, WPARAM wParam, CControlUI* at = nullptr) {
    POINT pt = at != nullptr ? Centre(at) : POINT{0, 0};
    ::PostMessageW(dropDown, msg, wParam, MAKELPARAM(pt.x, pt.y));
    Pump();
  }
  // Pixels of the combo that are not the white background.
  int Ink(CControlUI* combo) {
    PaintNow();
    RECT rc = combo->GetPos();
    return (rc.right - rc.left) * (rc.bottom - rc.top) - CountColour(*this, rc, 0xFFFFFF);
  }
};

RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

int WindowWidth(HWND hwnd) {
  RECT rc = WindowRect(hwnd);
  return rc.right - rc.left;
}

// The shadow window that follows `owner`, or null.
HWND ShadowOf(HWND owner) {
  for (HWND w = FindWindowExW(nullptr, nullptr, L"TovrinShadowWnd", nullptr); w != nullptr;
       w = FindWindowExW(nullptr, w, L"TovrinShadowWnd", nullptr)) {
    if (GetWindow(w, GW_OWNER) == owner) return w;
  }
  return nullptr;
}

}  // namespace

// A click opens a "ComboWnd" pop-up right below the combo, as high as its items and a frame of 4,
// at most the drop box height; where the work area ends below the combo, above it.
TEST(ComboDropDown, OpensBelowOrAboveAsHighAsItsItemsUpToTheDropBox) {
  ComboWindow window;
  HWND dropDown = window.Open();
  ASSERT_NE(nullptr, dropDown);
  wchar_t cls[32] = {};
  GetClassNameW(dropDown, cls, 32);
  EXPECT_STREQ(L"ComboWnd", cls);
  EXPECT_EQ(1, window.Count(L"predropdown"));
  EXPECT_EQ(1, window.Count(L"dropdown"));
  RECT combo = window.OnScreen(window.Combo()), rc = WindowRect(dropDown);
  EXPECT_TRUE(rc.left == combo.left && rc.right == combo.right && rc.top == combo.bottom);
  EXPECT_EQ(3 * 20 + 4, rc.bottom - rc.top);
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(IsWindow(dropDown));
  rc = WindowRect(window.Open(L"long"));
  EXPECT_EQ(100, rc.bottom - rc.top);

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.GetHWND(), MONITOR_DEFAULTTONEAREST), &monitor);
  SetWindowPos(window.GetHWND(), nullptr, 40, monitor.rcWork.bottom - 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  window.Pump();
  combo = window.OnScreen(window.Combo());
  rc = WindowRect(window.Open());
  EXPECT_EQ(combo.top, rc.bottom);
  EXPECT_EQ(3 * 20 + 4, rc.bottom - rc.top);
}

// Opening a drop-down leaves the window its shadow; the drop-down of a combo with "showshadow"
// casts a shadow of the window's settings (size 6), that of a combo without it none.
TEST(ComboDropDown, DropDownCopiesTheWindowsShadowAndLeavesIt) {
  ComboWindow window(ShadowSkin());
  CShadowUI* shadow = window.GetPaintManager().GetShadow();
  HWND dropDown = window.Open(L"shadowed");
  ASSERT_NE(nullptr, dropDown);
  EXPECT_TRUE(shadow->IsShowShadow());
  HWND cast = ShadowOf(dropDown);
  ASSERT_NE(nullptr, cast);
  EXPECT_TRUE(IsWindowVisible(cast));
  EXPECT_EQ(WindowWidth(dropDown) + 12, WindowWidth(cast));
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);

  dropDown = window.Open(L"plain");
  ASSERT_NE(nullptr, dropDown);
  EXPECT_EQ(nullptr, ShadowOf(dropDown));
  EXPECT_TRUE(shadow->IsShowShadow());
}

// A click on an item selects it ("itemselect": new and previous index), closes the pop-up, gives
// the items back and shows the item's text in the combo.
TEST(ComboDropDown, ClickOnAnItemSelectsItAndCloses) {
  ComboWindow window;
  CComboUI* combo = window.Combo();
  EXPECT_EQ(0, window.Ink(combo));
  HWND dropDown = window.Open();
  CControlUI* item = combo->GetItemAt(1);
  window.ToDropDown(dropDown, WM_MOUSEMOVE, 0, item);
  window.ToDropDown(dropDown, WM_LBUTTONDOWN, MK_LBUTTON, item);
  window.ToDropDown(dropDown, WM_LBUTTONUP, 0, item);
  EXPECT_FALSE(IsWindow(dropDown));
  EXPECT_EQ(nullptr, combo->GetDropDown());
  ASSERT_EQ(1, window.Count(L"itemselect", L"combo"));
  EXPECT_EQ(1u, window.Last(L"itemselect")->wParam);
  EXPECT_EQ(-1, window.Last(L"itemselect")->lParam);
  EXPECT_STREQ(L"Item 1", combo->GetText().GetData());
  EXPECT_EQ(combo, item->GetParent());
  EXPECT_EQ(&window.GetPaintManager(), item->GetManager());
  EXPECT_GT(window.Ink(combo), 0);
}

// Escape brings back the selection the combo had when it opened, "no selection" included, with
// "itemselect" as for any other change.
TEST(ComboDropDown, EscapeRestoresTheSelectionItOpenedWith) {
  ComboWindow window;
  CComboUI* combo = window.Combo();
  HWND dropDown = window.Open();
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_DOWN);
  EXPECT_EQ(0, combo->GetCurSel());
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);
  EXPECT_FALSE(IsWindow(dropDown));
  EXPECT_EQ(-1, combo->GetCurSel());
  ASSERT_EQ(2, window.Count(L"itemselect", L"combo"));
  EXPECT_EQ(static_cast<WPARAM>(-1), window.Last(L"itemselect")->wParam);
  EXPECT_EQ(0, window.Last(L"itemselect")->lParam);
  EXPECT_FALSE(static_cast<IListItemUI*>(combo->GetItemAt(0)->GetInterface(L"ListItem"))->IsSelected());

  combo->SelectItem(2);
  dropDown = window.Open();
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_UP);
  EXPECT_EQ(1, combo->GetCurSel());
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(2, combo->GetCurSel());
  EXPECT_EQ(2u, window.Last(L"itemselect")->wParam);
  EXPECT_EQ(1, window.Last(L"itemselect")->lParam);
}

// Escape brings back the item the combo opened with, wherever receivers moved it meanwhile.
TEST(ComboDropDown, EscapeRestoresTheItemItOpenedWithAfterReceiversRemovedOthers) {
  ComboWindow window;
  CComboUI* combo = window.Combo();
  combo->SelectItem(1);
  HWND dropDown = window.Open();
  struct FirstRemover : INotifyUI {
    void Notify(NotifyRecordUI& msg) override {
      if (msg.sType == L"itemselect" && combo->GetCount() == 3) combo->RemoveAt(0);
    }
    CComboUI* combo = nullptr;
  } remover;
  remover.combo = combo;
  window.GetPaintManager().AddNotifier(&remover);
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_DOWN);
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);
  window.GetPaintManager().RemoveNotifier(&remover);
  ASSERT_EQ(2, combo->GetCount());
  ASSERT_EQ(0, combo->GetCurSel());
  EXPECT_STREQ(L"Item 1", combo->GetItemAt(0)->GetText().GetData());
}

// With "scrollselect" (the default) the wheel over the open list moves the selection; without it
// the list scrolls and the selection stays.
TEST(ComboDropDown, WheelSelectsOrScrollsTheList) {
  ComboWindow window;
  CComboUI* combo = window.Combo();
  HWND dropDown = window.Open();
  window.ToDropDown(dropDown, WM_MOUSEWHEEL, kWheelDown);
  window.ToDropDown(dropDown, WM_MOUSEWHEEL, kWheelDown);
  EXPECT_EQ(1, combo->GetCurSel());
  EXPECT_EQ(2, window.Count(L"itemselect", L"combo"));
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_RETURN);
  EXPECT_FALSE(IsWindow(dropDown));

  CComboUI* longer = window.Combo(L"long");
  dropDown = window.Open(L"long");
  auto* list = static_cast<CContainerUI*>(longer->GetItemAt(0)->GetParent()->GetInterface(L"Container"));
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(0, list->GetScrollPos().cy);
  window.ToDropDown(dropDown, WM_MOUSEWHEEL, kWheelDown);
  EXPECT_GT(list->GetScrollPos().cy, 0);
  EXPECT_EQ(-1, longer->GetCurSel());
  EXPECT_EQ(0, window.Count(L"itemselect", L"long"));
}

// The combo box shows its pushed (blue) frame while its drop-down is open, its focused (yellow)
// one once the drop-down has given the focus back.
TEST(ComboDropDown, ComboBoxArrowIsPushedWhileOpen) {
  ComboWindow window;
  RECT rc = window.Combo(L"box")->GetPos();
  HWND dropDown = window.Open(L"box");
  window.PaintNow();
  EXPECT_EQ(0x0000FFu, window.Pixel(rc.right - 10, rc.top + 12));
  window.ToDropDown(dropDown, WM_KEYDOWN, VK_ESCAPE);
  window.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  window.PaintNow();
  EXPECT_EQ(0xFFFF00u, window.Pixel(rc.right - 10, rc.top + 12));
}

// The main window closes while the drop-down is open: the pop-up goes first and hands the items
// back to the combo, which the window then deletes with them. Run again under Wine's heap checks.
TEST(ComboDropDown, ClosingTheMainWindowWhileOpenIsClean) {
  ComboWindow window;
  CComboUI* combo = window.Combo();
  HWND dropDown = window.Open();
  window.ToDropDown(dropDown, WM_MOUSEMOVE, 0, combo->GetItemAt(2));
  window.PostMessage(WM_CLOSE);
  window.Pump();
  EXPECT_TRUE(window.finalMessage);
  EXPECT_FALSE(IsWindow(dropDown));
  EXPECT_EQ(nullptr, combo->GetDropDown());
  EXPECT_EQ(combo, combo->GetItemAt(2)->GetParent());
}

// The combo is deleted while its drop-down shows its items: the pop-up lets go of them at once and
// closes with nothing to write into. Run again under Wine's heap checks.
TEST(ComboDropDown, DeletingTheComboWhileOpenIsClean) {
  ComboWindow window;
  HWND dropDown = window.Open();
  CComboUI* combo = window.Combo();
  window.ToDropDown(dropDown, WM_MOUSEMOVE, 0, combo->GetItemAt(1));
  POINT away = ComboWindow::Centre(combo->GetItemAt(2));
  auto* root = static_cast<CContainerUI*>(window.Find(L"root")->GetInterface(L"Container"));
  root->SetDelayedDestroy(false);
  ASSERT_TRUE(root->Remove(combo));
  ::SendMessageW(dropDown, WM_MOUSEMOVE, 0, MAKELPARAM(away.x, away.y));
  ::SendMessageW(dropDown, WM_KEYDOWN, VK_DOWN, 0);
  window.Pump();
  EXPECT_FALSE(IsWindow(dropDown));
  EXPECT_EQ(nullptr, window.Find(L"combo"));
}

// The combo's "itemselect" handler deletes it when Down is pressed in its open drop-down: neither
// the combo nor the pop-up touches it afterwards, and the pop-up closes. Run again under Wine's
// heap checks.
TEST(ComboDropDown, DeletedByItsItemSelectHandlerIsClean) {
  ComboWindow window;
  HWND dropDown = window.Open();
  struct Remover : INotifyUI {
    void Notify(NotifyRecordUI& msg) override {
      if (!(msg.sType == L"itemselect") || combo == nullptr) return;
      root->Remove(combo);
      combo = nullptr;
    }
    CContainerUI* root = nullptr;
    CControlUI* combo = nullptr;
  } remover;
  remover.root = static_cast<CContainerUI*>(window.Find(L"root")->GetInterface(L"Container"));
  remover.root->SetDelayedDestroy(false);
  remover.combo = window.Combo();
  window.GetPaintManager().AddNotifier(&remover);
  ::SendMessageW(dropDown, WM_KEYDOWN, VK_DOWN, 0);
  window.Pump();
  window.GetPaintManager().RemoveNotifier(&remover);
  EXPECT_EQ(1, window.Count(L"itemselect", L"combo"));
  EXPECT_EQ(nullptr, window.Find(L"combo"));
  EXPECT_FALSE(IsWindow(dropDown));
}

// A press on a cell inside an item of the open drop-down gives the cell the focus, then selecting
// the item moves it on to the item itself: the receiver of the cell's "killfocus" removes every
// item of the combo. Neither the combo nor the item's press touches them afterwards. Run again
// under Wine's heap checks.
TEST(ComboDropDown, ItemsRemovedAsTheFocusMovesInsideAnItemIsClean) {
  std::wstring items;
  for (int i = 0; i < 3; ++i) {
    items += L"<ListContainerElement height=\"20\"><Container name=\"cell" + std::to_wstring(i) +
             L"\" width=\"60\"/></ListContainerElement>";
  }
  ComboWindow window(
      L"<Window size=\"300,200\"><VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" "
      L"inset=\"20,20,20,20\"><Combo name=\"combo\" width=\"160\" height=\"24\">" +
      items + L"</Combo><Control/></VerticalLayout></Window>");
  CComboUI* combo = window.Combo();
  HWND dropDown = window.Open();
  ASSERT_NE(nullptr, dropDown);
  struct Receiver {
    bool OnNotify(void* param) {
      if (static_cast<NotifyRecordUI*>(param)->sType != L"killfocus") return true;
      combo->SetDelayedDestroy(false);
      combo->RemoveAll();
      return true;
    }
    CComboUI* combo;
  } receiver{combo};
  CControlUI* cell = static_cast<CContainerUI*>(combo->GetItemAt(1)->GetInterface(L"Container"))->GetItemAt(0);
  cell->OnNotify += MakeDelegate(&receiver, &Receiver::OnNotify);
  const POINT at = ComboWindow::Centre(cell);
  ::PostMessageW(dropDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  ::PostMessageW(dropDown, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  window.Pump();
  EXPECT_EQ(0, combo->GetCount());
  EXPECT_EQ(0, window.Count(L"itemselect", L"combo"));
  ::SendMessageW(dropDown, WM_KEYDOWN, VK_ESCAPE, 0);
  window.Pump();
  EXPECT_FALSE(IsWindow(dropDown));
}
