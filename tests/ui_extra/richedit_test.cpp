// The rich edit in real framework windows: markup, typing, its key rules, limits, placeholder,
// scroll bars, and the messages it must leave to the window.
#include <gtest/gtest.h>

#include <string>

#include "richedit_support.h"
#include "ui/core/controls/button.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/richedit/text_host.h"

using namespace SkinUI;
using richedit_test::RichEditWindow;
using richedit_test::Skin;

namespace {

int Place() { return 20 + static_cast<int>((GetCurrentProcessId() / 4) % 8) * 30; }

bool IsReddish(DWORD rgb) {
  int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return r > 200 && g < 180 && b < 180;
}

TEST(RichEdit, BuiltFromMarkupFocusedByAClickAndTypedIntoOneChangePerCharacter) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"60\" /><Button name=\"btn\" height=\"30\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  CRichEditUI* edit = w.Edit(L"re");
  ASSERT_NE(nullptr, edit);
  EXPECT_STREQ(L"RichEditUI", edit->GetClass());
  ASSERT_NE(nullptr, edit->GetTextHost()) << "the text services run";
  w.Click(L"re");
  EXPECT_TRUE(edit->IsFocused());
  w.Type(L"中文abc");
  EXPECT_STREQ(L"中文abc", edit->GetText().GetData());
  EXPECT_EQ(5, w.Count(L"textchanged", L"re"));
  // A character the text services refuse (no input method here) still arrives as a character.
  w.PostMessage(WM_IME_CHAR, L'字', 1);
  w.Pump();
  EXPECT_STREQ(L"中文abc字", edit->GetText().GetData());
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, ReturnAndTabFollowTheControlsWishes) {
  RichEditWindow w(
      Skin(L"<RichEdit name=\"noreturn\" height=\"40\" wantreturn=\"false\" />"
           L"<RichEdit name=\"noctrl\" height=\"40\" wantctrlreturn=\"false\" />"
           L"<RichEdit name=\"tab\" height=\"40\" />"
           L"<RichEdit name=\"notab\" height=\"40\" wanttab=\"false\" />"
           L"<Button name=\"after\" height=\"30\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  w.Click(L"noreturn");
  w.Type(L"a");
  w.Key(VK_RETURN);
  EXPECT_STREQ(L"a", w.Edit(L"noreturn")->GetText().GetData());
  EXPECT_EQ(1, w.Count(L"return", L"noreturn"));

  w.Click(L"noctrl");
  w.Key(VK_RETURN);
  EXPECT_EQ(1, w.Edit(L"noctrl")->GetTextLength()) << "plain Return makes a line";
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  w.Key(VK_RETURN);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(1, w.Edit(L"noctrl")->GetTextLength()) << "Ctrl+Return makes none";
  EXPECT_EQ(1, w.Count(L"return", L"noctrl"));

  w.Click(L"tab");
  w.Key(VK_TAB);
  EXPECT_STREQ(L"\t", w.Edit(L"tab")->GetText().GetData());
  EXPECT_TRUE(w.Edit(L"tab")->IsFocused());
  w.Click(L"notab");
  w.Key(VK_TAB);
  EXPECT_EQ(0, w.Edit(L"notab")->GetTextLength());
  EXPECT_TRUE(w.Find(L"after")->IsFocused()) << "Tab moves on";
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, MaxCharAndReadOnlyTakeEffect) {
  RichEditWindow w(
      Skin(L"<RichEdit name=\"short\" height=\"30\" maxchar=\"4\" />"
           L"<RichEdit name=\"fixed\" height=\"30\" readonly=\"true\" text=\"fixed\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  w.Click(L"short");
  w.Type(L"abcdef");
  EXPECT_STREQ(L"abcd", w.Edit(L"short")->GetText().GetData());
  w.Click(L"fixed");
  w.Type(L"xy");
  EXPECT_STREQ(L"fixed", w.Edit(L"fixed")->GetText().GetData());
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, PlaceholderOnlyWhileEmptyAndUnfocusedCentredInASingleLine) {
  RichEditWindow w(
      Skin(L"<Button name=\"first\" height=\"20\" />"
           L"<RichEdit name=\"one\" height=\"60\" multiline=\"false\" tipvalue=\"Type here\" "
           L"tipvaluecolor=\"#FFFF0000\" />"
           L"<RichEdit name=\"many\" height=\"60\" tipvalue=\"Type here\" tipvaluecolor=\"#FFFF0000\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  RECT one = w.Find(L"one")->GetPos(), many = w.Find(L"many")->GetPos();
  int top = one.bottom, bottom = one.top;
  for (int y = one.top; y < one.bottom; ++y) {
    if (w.CountPixels(RECT{one.left, y, one.right, y + 1}, IsReddish) == 0) continue;
    top = std::min<int>(top, y);
    bottom = y;
  }
  ASSERT_LT(top, bottom) << "the tip shows";
  EXPECT_NEAR((one.top + one.bottom) / 2, (top + bottom) / 2, 3) << "centred";
  EXPECT_GT(w.CountPixels(RECT{many.left, many.top, many.right, many.top + 20}, IsReddish), 0);
  EXPECT_EQ(0, w.CountPixels(RECT{many.left, many.top + 30, many.right, many.bottom}, IsReddish)) << "at the top";

  w.Click(L"one");
  w.PaintNow();
  EXPECT_EQ(0, w.CountPixels(one, IsReddish)) << "focused";
  w.Click(L"many");
  w.Type(L"x");
  w.PaintNow();
  EXPECT_EQ(0, w.CountPixels(many, IsReddish)) << "not empty";
  EXPECT_GT(w.CountPixels(one, IsReddish), 0) << "empty and unfocused again";
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, OverflowingTextShowsTheFrameworkBarThatTheWheelAndItsThumbScroll) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"80\" vscrollbar=\"true\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  CRichEditUI* edit = w.Edit(L"re");
  std::wstring lines;
  for (int i = 0; i < 30; ++i) lines += L"line\r";
  edit->SetText(lines.c_str());
  w.PaintNow();
  CScrollBarUI* bar = edit->GetVerticalScrollBar();
  ASSERT_NE(nullptr, bar);
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_GT(bar->GetScrollRange(), 0);
  auto firstLine = [edit] {
    LRESULT line = 0;
    edit->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &line);
    return static_cast<int>(line);
  };
  EXPECT_EQ(0, firstLine());

  POINT at = RichEditWindow::Centre(edit);
  ClientToScreen(w.GetHWND(), &at);
  w.PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(at.x, at.y));
  w.Pump();
  EXPECT_GT(firstLine(), 0);
  EXPECT_GT(bar->GetScrollPos(), 0);

  // The thumb follows the mouse on the bar's repeat timer.
  const int wheeled = firstLine();
  RECT thumb = bar->GetThumbRect();
  POINT grab = {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  w.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
  w.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab.x, grab.y + 30));
  EXPECT_TRUE(w.PumpUntil([](skinui_test::DemoWindow& d) {
    LRESULT line = 0;
    static_cast<RichEditWindow&>(d).Edit(L"re")->TxSendMessage(EM_GETFIRSTVISIBLELINE, 0, 0, &line);
    return line > 5;
  })) << "dragging the thumb scrolls the text from line "
      << wheeled;
  w.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(grab.x, grab.y + 30));
  w.Pump();
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, LeavesSystemKeysAndOtherWindowsCommandsToTheWindow) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"60\" text=\"keep\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  CRichEditUI* edit = w.Edit(L"re");
  w.Click(L"re");
  ASSERT_TRUE(edit->IsFocused());
  // "清空" as a child window's notification, not from the menu.
  w.SendMessage(WM_COMMAND, 105, reinterpret_cast<LPARAM>(w.GetHWND()));
  EXPECT_STREQ(L"keep", edit->GetText().GetData());
  w.SendMessage(WM_COMMAND, 105, 0);
  EXPECT_STREQ(L"", edit->GetText().GetData());

  w.PostMessage(WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
  EXPECT_TRUE(w.PumpUntil([](skinui_test::DemoWindow& d) { return d.finalMessage; })) << "Alt+F4 closes";
}

TEST(RichEditTextHost, EdgeRules) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"60\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  CRichEditUI* owner = w.Edit(L"re");
  auto make = [owner](LONG style) {
    CREATESTRUCTW cs = {};
    cs.style = style;
    CTxtWinHost* host = nullptr;
    EXPECT_TRUE(CTxtWinHost::CreateTextHost(owner, &cs, &host));
    return host;
  };
  const struct {
    LONG style;
    bool wraps;
  } wrapping[] = {{ES_MULTILINE, true}, {ES_MULTILINE | ES_AUTOHSCROLL, false}, {ES_MULTILINE | WS_HSCROLL, false}};
  for (const auto& row : wrapping) {
    CTxtWinHost* host = make(row.style);
    RECT wide = {0, 0, 200, 50};  // an area too narrow to wrap is laid out as one line
    host->SetClientRect(&wide);
    DWORD bits = 0;
    host->TxGetPropertyBits(TXTBIT_WORDWRAP, &bits);
    EXPECT_EQ(row.wraps, bits == TXTBIT_WORDWRAP) << std::hex << row.style;
    host->Release();
  }

  CTxtWinHost* host = make(ES_MULTILINE);
  EXPECT_EQ(2u, host->AddRef()) << "the text services hold no reference of their own: Release ends both";
  host->Release();
  host->SetMaxLength(0);
  DWORD length = 0;
  host->TxGetMaxLength(&length);
  EXPECT_EQ(32767u, length);

  host->SetFont(w.GetPaintManager().AddFont(90, L"Tahoma", 14, true, false, false));
  host->SetFont(w.GetPaintManager().AddFont(91, L"Tahoma", 14, false, false, false));
  const CHARFORMATW* format = nullptr;
  host->TxGetCharFormat(&format);
  EXPECT_NE(0u, format->dwEffects & CFE_BOLD) << "effects are only added";

  owner->EnableScrollBar(true, false);
  RECT client = {0, 0, 100, 50};
  host->SetClientRect(&client);
  host->TxSetScrollRange(SB_VERT, 10, 60, TRUE);
  EXPECT_FALSE(owner->GetVerticalScrollBar()->IsVisible()) << "all of it fits";
  host->TxSetScrollRange(SB_VERT, 10, 61, TRUE);
  EXPECT_TRUE(owner->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(1, owner->GetVerticalScrollBar()->GetScrollRange());
  host->Release();
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, NewTextOfADisabledControlKeepsTheDisabledColour) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"60\" textcolor=\"#FF102030\" enabled=\"false\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  CRichEditUI* edit = w.Edit(L"re");
  edit->SetText(L"new");
  const CHARFORMATW* format = nullptr;
  edit->GetTextHost()->TxGetCharFormat(&format);
  DWORD disabled = w.GetPaintManager().GetDefaultDisabledColor();
  EXPECT_EQ(RGB((disabled >> 16) & 0xFF, (disabled >> 8) & 0xFF, disabled & 0xFF), format->crTextColor);
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, AMouseMoveOntoItStillEndsTheHoverOfTheControlLeft) {
  RichEditWindow w(Skin(L"<Button name=\"btn\" height=\"30\" /><RichEdit name=\"re\" height=\"60\" text=\"text\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  auto* button = static_cast<CButtonUI*>(w.Find(L"btn")->GetInterface(L"Button"));
  POINT onButton = w.Centre(button), onEdit = w.Centre(w.Find(L"re"));
  w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(onButton.x, onButton.y));
  w.Pump();
  ASSERT_NE(0u, button->GetButtonState() & UISTATE_HOT);
  w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(onEdit.x, onEdit.y));
  w.Pump();
  EXPECT_EQ(0u, button->GetButtonState() & UISTATE_HOT) << "the button got its mouse-leave";
  DestroyWindow(w.GetHWND());
}

TEST(RichEdit, KeysItsTextServicesRefuseGoOnToTheWindow) {
  RichEditWindow w(Skin(L"<RichEdit name=\"re\" height=\"60\" text=\"text\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  w.Click(L"re");
  ASSERT_TRUE(w.Edit(L"re")->IsFocused());
  LRESULT result = 0;
  EXPECT_FALSE(w.GetPaintManager().MessageHandler(WM_KEYDOWN, VK_ESCAPE, 1, result)) << "Escape";
  EXPECT_FALSE(w.GetPaintManager().MessageHandler(WM_KEYUP, 'A', 0xC0000001, result));
  EXPECT_TRUE(w.GetPaintManager().MessageHandler(WM_KEYDOWN, VK_HOME, 1, result)) << "the caret moves: taken";
  EXPECT_TRUE(w.GetPaintManager().MessageHandler(WM_CHAR, 'x', 1, result));
  EXPECT_STREQ(L"xtext", w.Edit(L"re")->GetText().GetData());
  DestroyWindow(w.GetHWND());
}

// Calls into the text services in progress, counted outside the control: it may be gone when one
// returns.
int gServicesCalls = 0;

class CountingEditUI : public CRichEditUI {
 public:
  HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const override {
    ++gServicesCalls;
    const HRESULT hr = CRichEditUI::TxSendMessage(msg, wParam, lParam, plResult);
    --gServicesCalls;
    return hr;
  }
};

// Once armed, the receiver of the edit's notification `type` removes the edit from a container that
// deletes it at once, noting the calls into the text services in progress then.
class DoomedEditWindow : public RichEditWindow {
 public:
  DoomedEditWindow(const wchar_t* type, const wchar_t* attributes)
      : RichEditWindow(Skin((L"<CountingEdit name=\"doomed\" height=\"40\" " + std::wstring(attributes) +
                             L" /><Button name=\"other\" height=\"30\" />")
                                .c_str())),
        m_type(type) {}
  bool armed = false;
  bool moveAwayFirst = false;  // the first such notification moves the focus to "other" instead
  int callsWhenRemoved = -1;

 protected:
  CControlUI* CreateControl(const wchar_t* pstrClass) override {
    return wcscmp(pstrClass, L"CountingEdit") == 0 ? new CountingEditUI : RichEditWindow::CreateControl(pstrClass);
  }
  void Notify(NotifyRecordUI& msg) override {
    RichEditWindow::Notify(msg);
    if (!armed || msg.sType != m_type || msg.pSender == nullptr || msg.pSender->GetName() != L"doomed") return;
    if (moveAwayFirst) {
      moveAwayFirst = false;
      Find(L"other")->SetFocus();
      return;
    }
    callsWhenRemoved = gServicesCalls;
    auto* parent = static_cast<CContainerUI*>(msg.pSender->GetParent()->GetInterface(L"Container"));
    parent->SetDelayedDestroy(false);
    parent->Remove(msg.pSender);
  }

 private:
  const wchar_t* m_type;
};

// Typed, set by the program, emptied by the menu's "清空", focused by a click (or again by the text
// services, inside their call, after the receiver moved the focus away), or given a Return it
// keeps: the edit deleted by the receiver is not touched afterwards, and its text services end
// their call before they go.
TEST(RichEdit, DeletedByTheReceiverOfItsNotificationOnlyOnceItsTextServicesReturned) {
  const struct {
    const char* what;
    const wchar_t* type;
    const wchar_t* attributes;
    void (*act)(RichEditWindow&);
    int calls;  // in progress at the removal
  } cases[] = {
      {"typed", L"textchanged", L"",
       [](RichEditWindow& w) {
         w.Click(L"doomed");
         w.Type(L"a");
       },
       0},
      {"SetText", L"textchanged", L"", [](RichEditWindow& w) { w.Edit(L"doomed")->SetText(L"new"); }, 0},
      {"menu command", L"textchanged", L"text=\"old\"",
       [](RichEditWindow& w) {
         w.Click(L"doomed");
         w.SendMessage(WM_COMMAND, 105, 0);
       },
       0},
      {"focused by a click", L"setfocus", L"",
       [](RichEditWindow& w) {
         w.Find(L"other")->SetFocus();
         w.Click(L"doomed");
       },
       0},
      {"focused again by the text services", L"setfocus", L"",
       [](RichEditWindow& w) {
         static_cast<DoomedEditWindow&>(w).moveAwayFirst = true;
         w.Find(L"other")->SetFocus();
         w.Click(L"doomed");
       },
       1},
      {"Return kept", L"return", L"wantreturn=\"false\"",
       [](RichEditWindow& w) {
         w.Click(L"doomed");
         w.Key(VK_RETURN);
       },
       1},  // sent by TxSendMessage, which keeps that Return from the text services
  };
  for (const auto& c : cases) {
    DoomedEditWindow w(c.type, c.attributes);
    ASSERT_NE(nullptr, w.Open(Place(), Place()));
    w.armed = true;
    c.act(w);
    EXPECT_EQ(nullptr, w.Find(L"doomed")) << c.what;
    EXPECT_EQ(c.calls, w.callsWhenRemoved) << c.what;
    w.Click(L"other");
    EXPECT_EQ(1, w.Count(L"click", L"other")) << c.what;
    DestroyWindow(w.GetHWND());
  }
}

// The receiver run by a timer while the edit's context menu is open: it removes the edit at once
// and ends the menu.
RichEditWindow* gMenuWindow = nullptr;

void CALLBACK RemoveEditAndEndMenu(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  CControlUI* edit = gMenuWindow->Find(L"doomed");
  auto* parent = static_cast<CContainerUI*>(edit->GetParent()->GetInterface(L"Container"));
  parent->SetDelayedDestroy(false);
  parent->Remove(edit);
  ::EndMenu();
}

// The context menu runs a message loop of its own, in which the program may delete the edit: the
// menu's end touches nothing of it.
TEST(RichEdit, DeletedWhileItsContextMenuIsOpen) {
  RichEditWindow w(Skin(L"<RichEdit name=\"doomed\" height=\"40\" /><Button name=\"other\" height=\"30\" />"));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  gMenuWindow = &w;
  POINT at = skinui_test::DemoWindow::Centre(w.Find(L"doomed"));
  ::ClientToScreen(w.GetHWND(), &at);
  ::SetTimer(nullptr, 0, 100, RemoveEditAndEndMenu);
  w.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.GetHWND()), MAKELPARAM(at.x, at.y));
  EXPECT_EQ(nullptr, w.Find(L"doomed")) << "the timer ran inside the menu's loop";
  w.Click(L"other");
  EXPECT_EQ(1, w.Count(L"click", L"other"));
}

}  // namespace

// Wine's text services wrap in time that grows with a paragraph's length squared over the
// characters a line holds: text too long to wrap, or an area too narrow, is laid out as one line.
TEST(RichEdit, WrapsOnlyParagraphsItCanWrapAtOnce) {
  const std::wstring shortText(200, L'W'), longText(5000, L'W');
  RichEditWindow w(Skin((L"<RichEdit name=\"short\" height=\"40\" text=\"" + shortText + L"\" />" +
                         L"<RichEdit name=\"long\" height=\"40\" text=\"" + longText + L"\" />" +
                         L"<HorizontalLayout height=\"40\"><RichEdit name=\"narrow\" width=\"20\" text=\"" + shortText +
                         L"\" /></HorizontalLayout>")
                            .c_str()));
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  auto lines = [&](const wchar_t* name) {
    LRESULT n = 0;
    w.Edit(name)->TxSendMessage(EM_GETLINECOUNT, 0, 0, &n);
    return static_cast<int>(n);
  };
  EXPECT_GT(lines(L"short"), 1);
  EXPECT_EQ(1, lines(L"long"));
  EXPECT_EQ(1, lines(L"narrow"));
  EXPECT_EQ(5000, w.Edit(L"long")->GetTextLength()) << "the text is kept whole";

  w.Edit(L"long")->SetText(shortText.c_str());
  EXPECT_GT(lines(L"long"), 1) << "a whole new text without a long paragraph wraps again";
  w.Edit(L"short")->SetText((shortText + L"\r" + longText).c_str());
  EXPECT_EQ(2, lines(L"short"));
  w.Edit(L"narrow")->SetFixedWidth(300);
  w.Pump();
  EXPECT_GT(lines(L"narrow"), 1) << "wide enough now";
  DestroyWindow(w.GetHWND());
}
