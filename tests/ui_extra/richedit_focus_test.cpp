// The rich edit where the keyboard focus, pointer and clipboard take part: these run in the
// focus tests' program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "richedit_support.h"
#include "ui/core/paint/manager/paint_manager.h"

using namespace SkinUI;
using richedit_test::RichEditWindow;
using richedit_test::Skin;

namespace {

// Counts the cursor questions the message filter hands to the text services.
class SpyEditUI : public CRichEditUI {
 public:
  HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) const override {
    if (msg == WM_SETCURSOR) ++cursorQuestions;
    return CRichEditUI::TxSendMessage(msg, wParam, lParam, plResult);
  }
  mutable int cursorQuestions = 0;
};

// A window that reads its pop-up menu once the menu waits for input, then chooses an item by
// its access key (0: none, the menu is cancelled).
class MenuWindow : public RichEditWindow {
 public:
  using RichEditWindow::RichEditWindow;
  std::vector<std::wstring> texts;
  std::wstring marks;  // per item: 'o' enabled, 'x' greyed, '-' separator
  wchar_t choose = 0;
  int menus = 0;

  void OpenMenuOver(const wchar_t* name, wchar_t key) {
    choose = key;
    POINT at = Centre(Find(name));
    ClientToScreen(GetHWND(), &at);
    PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetHWND()), MAKELPARAM(at.x, at.y));
    Pump();
    Pump();
  }

 protected:
  CControlUI* CreateControl(const wchar_t* pstrClass) override {
    return wcscmp(pstrClass, L"SpyEdit") == 0 ? new SpyEditUI : RichEditWindow::CreateControl(pstrClass);
  }
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override {
    if (uMsg == WM_ENTERIDLE && wParam == MSGF_MENU) ReadMenu(reinterpret_cast<HWND>(lParam));
    return RichEditWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
  }

 private:
  void ReadMenu(HWND menuWindow) {
    ++menus;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    texts.clear();
    marks.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
      texts.push_back(text);
      marks += text[0] == 0 ? L'-' : (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0 ? L'x' : L'o';
    }
    if (choose != 0)
      PostMessage(WM_CHAR, choose, 1);
    else
      PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
  }
};

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (data != nullptr) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(RichEditFocus, ContextMenuCommandsWithAClipboardRoundTrip) {
  OleInitialize(nullptr);  // the text services use the OLE clipboard
  MenuWindow w(
      Skin(L"<RichEdit name=\"re\" height=\"40\" text=\"hello\" />"
           L"<RichEdit name=\"ro\" height=\"40\" readonly=\"true\" text=\"fixed\" />"
           L"<RichEdit name=\"secret\" height=\"40\" password=\"true\" />"
           L"<Button name=\"btn\" height=\"40\" />"));
  ASSERT_NE(nullptr, w.Open(60, 60));
  CRichEditUI* edit = w.Edit(L"re");
  w.Click(L"re");
  edit->SetSel(0, 0);
  w.OpenMenuOver(L"re", L'a');
  ASSERT_EQ(9u, w.texts.size());
  const wchar_t* texts[] = {L"撤销(&U)", L"重做(&R)", L"", L"剪切(&X)", L"复制(&C)",
                            L"粘帖(&V)", L"清空(&L)", L"", L"全选(&A)"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(texts[i], w.texts[i]);
  EXPECT_EQ(L"xx-xxox-o", w.marks) << "nothing selected, nothing to undo";
  EXPECT_NE(0, edit->GetSelectionType()) << "全选 chosen";

  edit->SetSel(0, 5);  // the word, without the paragraph's end
  w.OpenMenuOver(L"re", L'c');
  EXPECT_EQ(L"xx-oooo-o", w.marks);
  EXPECT_EQ(L"hello", ClipboardText(w.GetHWND()));
  edit->SetSel(-1, -1);
  w.OpenMenuOver(L"re", L'v');
  EXPECT_STREQ(L"hellohello", edit->GetText().GetData());
  w.OpenMenuOver(L"re", L'u');
  EXPECT_STREQ(L"hello", edit->GetText().GetData()) << "撤销";
  edit->SetSel(0, 1);
  w.OpenMenuOver(L"re", L'l');
  EXPECT_STREQ(L"", edit->GetText().GetData()) << "清空 empties the whole text";

  w.Click(L"ro");
  w.Edit(L"ro")->SetSelAll();
  w.OpenMenuOver(L"ro", 0);
  EXPECT_EQ(L"xx-xoxx-o", w.marks) << "read-only";
  const int menus = w.menus;
  w.OpenMenuOver(L"btn", 0);
  EXPECT_EQ(menus, w.menus) << "no menu over another control";

  // A password is neither shown nor copied.
  w.Click(L"secret");
  w.Type(L"pw");
  ASSERT_TRUE(OpenClipboard(w.GetHWND()) && EmptyClipboard() && CloseClipboard());
  w.Edit(L"secret")->SetSelAll();
  w.OpenMenuOver(L"secret", L'c');
  EXPECT_EQ(L"", ClipboardText(w.GetHWND()));
  DestroyWindow(w.GetHWND());
}

TEST(RichEditFocus, CaretInTheTextColourInALayeredWindow) {
  RichEditWindow w(
      Skin(L"<RichEdit name=\"re\" height=\"60\" textcolor=\"#FF00C000\" />", L"size=\"320,300\" layered=\"true\""));
  ASSERT_NE(nullptr, w.Open(60, 60));
  ASSERT_TRUE(w.GetPaintManager().IsLayered());
  w.Click(L"re");
  RECT rc = w.Find(L"re")->GetPos();
  w.Edit(L"re")->SetSel(0, 0);  // the click's move may have selected the line's end
  EXPECT_TRUE(w.PumpUntil([](skinui_test::DemoWindow& d) {
    d.PaintNow();
    RECT area = d.Find(L"re")->GetPos();
    return static_cast<RichEditWindow&>(d).CountPixels(area, [](DWORD rgb) { return rgb == 0x00C000; }) > 0;
  })) << "the blinking caret shows in green at "
      << rc.left << "," << rc.top;
  DestroyWindow(w.GetHWND());
}

TEST(RichEditFocus, CursorQuestionsGoToTheEditOnlyWithThePointerOverIt) {
  // WM_SETCURSOR's lParam (HTCLIENT, WM_MOUSEMOVE) read as a point would be (1, 512): inside the edit.
  MenuWindow w(
      Skin(L"<Button name=\"btn\" height=\"480\" /><SpyEdit name=\"spy\" height=\"100\" />", L"size=\"320,600\""));
  ASSERT_NE(nullptr, w.Open(0, 0));
  auto* spy = static_cast<SpyEditUI*>(w.Find(L"spy"));
  ASSERT_NE(nullptr, spy->GetTextHost());
  const LPARAM cursorQuestion = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  for (const wchar_t* over : {L"btn", L"spy"}) {
    POINT at = RichEditWindow::Centre(w.Find(over));
    ClientToScreen(w.GetHWND(), &at);
    SetCursorPos(at.x, at.y);
    w.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(w.GetHWND()), cursorQuestion);
  }
  EXPECT_EQ(1, spy->cursorQuestions) << "only with the pointer over the edit";
  DestroyWindow(w.GetHWND());
}

}  // namespace
