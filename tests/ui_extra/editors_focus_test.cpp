// The date, IP-address and hot-key editors: native windows laid over their labels while these have
// the keyboard focus, so these run in the focus tests' program.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "list_support.h"
#include "test_support.h"
#include "ui/core/controls/edit.h"
#include "ui/core/paint/control/container.h"
#include "ui/extra/editors/date_time.h"
#include "ui/extra/editors/hot_key.h"
#include "ui/extra/editors/ip_address.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

namespace {

const wchar_t kSkin[] =
    L"<Window size=\"320,200\"><VerticalLayout name=\"column\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\">"
    L"<DateTime name=\"date\" height=\"28\"/><IPAddress name=\"ip\" height=\"28\"/>"
    L"<HotKey name=\"hotkey\" height=\"28\"/><Button name=\"other\" height=\"28\" text=\"other\"/>"
    L"</VerticalLayout></Window>";

// A window whose handler deletes a control as soon as its text changes, when asked to.
class EditorWindow : public ExtraWindow {
 public:
  explicit EditorWindow(const wchar_t* skin = kSkin) : ExtraWindow(skin) {}
  HWND Native(const wchar_t* name) {
    CControlUI* c = Find(name);
    if (auto* date = static_cast<CDateTimeUI*>(c->GetInterface(L"DateTime"))) return date->GetNativeWindow();
    if (auto* ip = static_cast<CIPAddressUI*>(c->GetInterface(L"IPAddress"))) return ip->GetNativeWindow();
    if (auto* edit = static_cast<CEditUI*>(c->GetInterface(L"Edit"))) return edit->GetNativeWindow();
    return static_cast<CHotKeyUI*>(c->GetInterface(L"HotKey"))->GetNativeWindow();
  }
  // Posts a key press (and release) with its scan code, as the keyboard would, and handles them.
  void Press(HWND to, WPARAM key, bool up = true) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(to, WM_KEYDOWN, key, scan | 1);
    if (up) ::PostMessageW(to, WM_KEYUP, key, scan | 0xC0000001);
    Pump();
  }
  void Release(HWND to, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageW(to, WM_KEYUP, key, scan | 0xC0000001);
    Pump();
  }
  std::wstring Text(const wchar_t* name) { return Find(name)->GetText().GetData(); }
  bool deleteOnChange = false;
  std::wstring removeOnKillFocus;

 protected:
  void Notify(NotifyRecordUI& msg) override {
    ExtraWindow::Notify(msg);
    if (deleteOnChange && msg.sType == L"textchanged") Remove(msg.pSender);
    if (msg.sType == L"killfocus" && msg.pSender != nullptr && msg.pSender->GetName() == removeOnKillFocus.c_str())
      Remove(msg.pSender);
  }

 public:
  void Remove(CControlUI* control) {
    auto* column = static_cast<CContainerUI*>(Find(L"column"));
    column->SetDelayedDestroy(false);
    column->Remove(control);
  }
};

RECT InParent(HWND child) {
  RECT rc;
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

bool Holds(HWND window, HWND focus) { return focus == window || IsChild(window, focus); }

}  // namespace

std::wstring DateText(const SYSTEMTIME& date) {
  wchar_t text[16];
  swprintf(text, 16, L"%4d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
  return text;
}

TEST(NativeEditors, DatePickerTakesChangesIntoTheLabelAndEscapeRestores) {
  EditorWindow w;
  SYSTEMTIME today;
  GetLocalTime(&today);
  const std::wstring opened = w.Text(L"date");
  EXPECT_EQ(DateText(today), opened);
  w.Click(L"date");
  HWND picker = w.Native(L"date");
  ASSERT_NE(nullptr, picker);
  RECT pos = w.Find(L"date")->GetPos(), over = InParent(picker);
  EXPECT_TRUE(EqualRect(&pos, &over) && IsWindowVisible(picker) && Holds(picker, GetFocus()));

  w.Press(picker, VK_RIGHT);
  w.Press(picker, VK_UP);
  SYSTEMTIME picked = {};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked));
  EXPECT_NE(opened, w.Text(L"date"));
  EXPECT_EQ(DateText(picked), w.Text(L"date"));
  EXPECT_GE(w.Count(L"textchanged", L"date"), 1);

  w.Press(picker, VK_ESCAPE, false);
  EXPECT_EQ(opened, w.Text(L"date"));
  EXPECT_FALSE(IsWindow(picker));
  EXPECT_EQ(nullptr, w.Native(L"date")) << "the focus coming back opens no new picker";
}

TEST(NativeEditors, IPEditorCommitsOnLeavingAndDeleteEmptiesTextAndAddress) {
  EditorWindow w;
  auto* ip = static_cast<CIPAddressUI*>(w.Find(L"ip")->GetInterface(L"IPAddress"));
  w.Click(L"ip");
  HWND editor = ip->GetNativeWindow();
  ASSERT_NE(nullptr, editor);
  RECT pos = ip->GetPos(), over = InParent(editor);
  EXPECT_TRUE(EqualRect(&pos, &over) && IsWindowVisible(editor) && Holds(editor, GetFocus()));
  SendMessageW(editor, IPM_CLEARADDRESS, 0, 0);
  for (const wchar_t* c = L"10.1.2.3"; *c != 0; ++c) {
    PostMessageW(GetFocus(), WM_CHAR, *c, 1);
    w.Pump();
  }
  EXPECT_TRUE(IsWindowVisible(editor)) << "moving between its fields keeps it open";
  w.Click(L"other");
  EXPECT_EQ(L"10.1.2.3", w.Text(L"ip"));
  EXPECT_EQ(static_cast<DWORD>(MAKEIPADDRESS(10, 1, 2, 3)), ip->GetIP());
  EXPECT_EQ(1, w.Count(L"textchanged", L"ip"));
  EXPECT_FALSE(IsWindowVisible(editor));

  w.Click(L"ip");
  EXPECT_TRUE(ip->GetNativeWindow() == editor && IsWindowVisible(editor)) << "shown again";
  w.Press(GetFocus(), VK_ESCAPE);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(L"10.1.2.3", w.Text(L"ip")) << "Escape leaves the text";

  w.Click(L"ip");
  w.Press(GetFocus(), VK_DELETE);
  EXPECT_EQ(L"", w.Text(L"ip"));
  EXPECT_EQ(0u, ip->GetIP());
  EXPECT_EQ(nullptr, ip->GetNativeWindow());

  // Leaving a blank editor leaves no address either.
  ip->SetText(L"10.1.2.3");
  w.Click(L"ip");
  SendMessageW(ip->GetNativeWindow(), IPM_CLEARADDRESS, 0, 0);
  w.Click(L"other");
  EXPECT_EQ(L"", w.Text(L"ip"));
  EXPECT_EQ(0u, ip->GetIP());
}

// Every editing opens a new platform control, which may make a font of its own for its fields.
TEST(NativeEditors, OpeningAndClosingTheIPEditorLeavesNoGdiObjectBehind) {
  EditorWindow w;
  auto* ip = static_cast<CIPAddressUI*>(w.Find(L"ip")->GetInterface(L"IPAddress"));
  auto edit = [&] {
    w.Click(L"ip");
    HWND editor = ip->GetNativeWindow();
    w.Press(GetFocus(), VK_ESCAPE);
    w.Pump();
    return editor != nullptr && !IsWindow(editor);
  };
  ASSERT_TRUE(edit());
  const int before = skinui_test::GdiHeadroom();
  for (int i = 0; i < 150; ++i) ASSERT_TRUE(edit()) << i;
  EXPECT_GE(skinui_test::GdiHeadroom(), before - 20);
}

TEST(NativeEditors, HotKeyEditorNamesTheKeysCaught) {
  EditorWindow w;
  CControlUI* hotkey = w.Find(L"hotkey");
  w.Click(L"hotkey");
  HWND editor = w.Native(L"hotkey");
  ASSERT_NE(nullptr, editor);
  RECT pos = hotkey->GetPos(), over = InParent(editor);
  EXPECT_TRUE(over.left == pos.left + 4 && over.right == pos.right - 4 && over.top >= pos.top + 3 &&
              over.bottom <= pos.bottom - 3 && IsWindowVisible(editor) && GetFocus() == editor);

  for (WPARAM key : {VK_CONTROL, VK_SHIFT, VK_F5}) w.Press(editor, key, false);
  EXPECT_EQ(L"Ctrl + Shift + F5", w.Text(L"hotkey"));
  EXPECT_GE(w.Count(L"textchanged", L"hotkey"), 1);
  for (WPARAM key : {VK_F5, VK_SHIFT, VK_CONTROL}) w.Release(editor, key);
  w.Press(editor, VK_HOME);
  EXPECT_EQ(L"Home", w.Text(L"hotkey")) << "the extended key, not the numeric pad's";
  w.Press(editor, VK_SHIFT, false);
  EXPECT_EQ(L"\u65e0", w.Text(L"hotkey")) << "no key";
  w.Release(editor, VK_SHIFT);
  w.Press(editor, VK_F5);
  w.Press(editor, VK_RETURN);
  EXPECT_EQ(1, w.Count(L"return", L"hotkey"));
  EXPECT_EQ(L"F5", w.Text(L"hotkey")) << "Return keeps the key";

  w.Click(L"other");
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(L"F5", w.Text(L"hotkey"));
}

// Each owner, the plain edit field among them, deleted while its editor is open (or, for the IP
// editor, hidden), and deleted by the handler of the notification its editor sends: the editor goes
// with it and nothing reaches the deleted control. Run under the heap checker too.
TEST(NativeEditors, DeletingAnOwnerWithItsEditorOpenClosesTheEditor) {
  EditorWindow w(
      L"<Window size=\"320,300\"><VerticalLayout name=\"column\" bkcolor=\"#FFFFFFFF\">"
      L"<DateTime name=\"d1\" height=\"28\"/><IPAddress name=\"i1\" height=\"28\"/><HotKey name=\"h1\" height=\"28\"/>"
      L"<IPAddress name=\"i2\" height=\"28\"/><DateTime name=\"d2\" height=\"28\"/><IPAddress name=\"i3\" "
      L"height=\"28\"/>"
      L"<HotKey name=\"h2\" height=\"28\"/><Edit name=\"e1\" height=\"28\"/><Button name=\"other\" height=\"28\"/>"
      L"</VerticalLayout></Window>");
  struct Case {
    const wchar_t* name;
    bool leaveFirst;
    WPARAM changeKey;  // 0: deleted from outside; else deleted by the handler of the change
  };
  for (const Case& c :
       {Case{L"d1", false, 0}, Case{L"i1", false, 0}, Case{L"h1", false, 0}, Case{L"i2", true, 0},
        Case{L"d2", false, VK_UP}, Case{L"i3", false, VK_DELETE}, Case{L"h2", false, VK_F5}, Case{L"e1", false, 'X'}}) {
    w.Click(c.name);
    HWND editor = w.Native(c.name);
    ASSERT_NE(nullptr, editor) << c.name;
    if (c.leaveFirst) w.Click(L"other");
    if (c.changeKey != 0) {
      w.Press(GetFocus(), VK_RIGHT);  // the picker's first field
      w.deleteOnChange = true;
      w.Press(GetFocus(), c.changeKey);
      w.deleteOnChange = false;
    } else {
      w.Remove(w.Find(c.name));
    }
    EXPECT_EQ(nullptr, w.Find(c.name)) << c.name;
    EXPECT_FALSE(IsWindowVisible(editor)) << c.name;
    w.Pump();
    EXPECT_FALSE(IsWindow(editor)) << c.name;
    EXPECT_EQ(nullptr, GetWindow(w.GetHWND(), GW_CHILD)) << c.name << ": no editor opened for the deleted owner";
    w.Click(L"other");
  }
}

// The layout moves the owners while the IP editor is hidden and while the date picker is open: each
// opens again over where its owner is now.
TEST(NativeEditors, EditorsOpenAgainOverTheirOwnersAfterTheLayoutMoves) {
  EditorWindow w;
  auto moveTo = [&](LONG top) {
    static_cast<CContainerUI*>(w.Find(L"column"))->SetInset(RECT{10, top, 10, 10});
    w.PaintNow();
  };
  auto over = [&](const wchar_t* name) {
    RECT pos = w.Find(name)->GetPos(), on = InParent(w.Native(name));
    return EqualRect(&pos, &on) != FALSE;
  };
  w.Click(L"ip");
  w.Click(L"other");
  HWND editor = w.Native(L"ip");
  ASSERT_TRUE(editor != nullptr && !IsWindowVisible(editor));
  moveTo(50);
  w.Click(L"ip");
  EXPECT_TRUE(w.Native(L"ip") == editor && IsWindowVisible(editor));
  EXPECT_TRUE(over(L"ip"));

  w.Click(L"date");
  HWND picker = w.Native(L"date");
  ASSERT_NE(nullptr, picker);
  moveTo(10);
  EventRecordUI press = {};
  press.Type = UIEVENT_BUTTONDOWN;
  press.pSender = w.Find(L"date");
  press.ptMouse = skinui_test::DemoWindow::Centre(w.Find(L"date"));
  w.Find(L"date")->Event(press);
  EXPECT_EQ(picker, w.Native(L"date"));
  EXPECT_TRUE(over(L"date"));
}

// Each owner with its editor open, removed by the receiver of its "killfocus" as the focus moves
// on: the owner hidden, or the window resized (the editors look for the focus again). Nothing
// reaches the deleted owner from its editor, which closes. Run under the heap checker too.
struct LeavingCase {
  const char* what;
  const wchar_t* name;
  void (*leave)(EditorWindow&, const wchar_t*);
};

void PrintTo(const LeavingCase& c, std::ostream* os) { *os << c.what; }

void Hide(EditorWindow& w, const wchar_t* name) { w.Find(name)->SetVisible(false); }
void Resize(EditorWindow& w, const wchar_t*) { w.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 220)); }

const LeavingCase kLeavingCases[] = {
    {"HotKeyHidden", L"hotkey", Hide}, {"DateHidden", L"date", Hide},        {"IPHidden", L"ip", Hide},
    {"EditHidden", L"edit", Hide},     {"HotKeyResized", L"hotkey", Resize}, {"DateResized", L"date", Resize},
    {"IPResized", L"ip", Resize},      {"EditResized", L"edit", Resize},
};

class EditorOwnerLeaving : public testing::TestWithParam<LeavingCase> {};

TEST_P(EditorOwnerLeaving, DeletingTheOwnerAsItLosesTheFocusClosesTheEditor) {
  const LeavingCase& c = GetParam();
  EditorWindow w(
      L"<Window size=\"320,240\"><VerticalLayout name=\"column\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\">"
      L"<DateTime name=\"date\" height=\"28\"/><IPAddress name=\"ip\" height=\"28\"/>"
      L"<HotKey name=\"hotkey\" height=\"28\"/><Edit name=\"edit\" height=\"28\"/>"
      L"<Button name=\"other\" height=\"28\" text=\"other\"/></VerticalLayout></Window>");
  w.Click(c.name);
  HWND editor = w.Native(c.name);
  ASSERT_NE(nullptr, editor);
  w.removeOnKillFocus = c.name;
  c.leave(w, c.name);
  w.Pump();
  EXPECT_EQ(nullptr, w.Find(c.name));
  EXPECT_FALSE(IsWindow(editor));
  const int clicks = w.Count(L"click", L"other");
  w.Click(L"other");
  EXPECT_EQ(clicks + 1, w.Count(L"click", L"other"));
}

INSTANTIATE_TEST_SUITE_P(NativeEditors, EditorOwnerLeaving, testing::ValuesIn(kLeavingCases),
                         [](const testing::TestParamInfo<LeavingCase>& info) { return std::string(info.param.what); });
