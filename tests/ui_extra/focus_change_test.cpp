// Controls removed, and deleted at once, by the receiver of the focus change that hiding them or
// another move of the focus brings: nothing of them may be touched afterwards. Run under Wine's
// heap checks, where a freed block reads as 0xfeeefeee, so that a use after the deletion crashes or
// is reported.
#include <gtest/gtest.h>

#include <string>

#include "list_support.h"
#include "ui/core/paint/control/container.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

namespace {

// On the focus notification `type` from `sender`, removes `target` from its container, or every
// item of `target` when `all`, which deletes them at once.
struct Remover : INotifyUI {
  Remover(CPaintManagerUI& pm, const wchar_t* type, const wchar_t* sender, const wchar_t* target, bool all)
      : pm(pm), type(type), sender(sender), target(target), all(all) {
    pm.AddNotifier(this);
  }
  ~Remover() { pm.RemoveNotifier(this); }
  void Notify(NotifyRecordUI& msg) override {
    CControlUI* doomed = pm.FindControl(target);
    if (doomed == nullptr || msg.sType != type || msg.pSender == nullptr || msg.pSender->GetName() != sender) return;
    CControlUI* holder = all ? doomed : doomed->GetParent();
    auto* container = static_cast<CContainerUI*>(holder->GetInterface(L"Container"));
    container->SetDelayedDestroy(false);
    if (all)
      container->RemoveAll();
    else
      container->Remove(doomed);
  }
  CPaintManagerUI& pm;
  const wchar_t* type;
  const wchar_t* sender;
  const wchar_t* target;
  bool all;
};

struct Case {
  const char* what;
  std::wstring markup;
  const wchar_t* sender;  // clicked first, so that it has the focus
  const wchar_t* target;
  bool all;
  void (*act)(ExtraWindow&);
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

void HideDoomed(ExtraWindow& w) { w.Find(L"doomed")->SetVisible(false); }
void HideBox(ExtraWindow& w) { w.Find(L"box")->SetVisible(false); }

const wchar_t kRow[] = L"<ListLabelElement name=\"doomed\" text=\"a\" height=\"20\"/>";

const Case kCases[] = {
    {"CheckBoxHidden", L"<CheckBox name=\"doomed\" height=\"24\"/>", L"doomed", L"doomed", false, HideDoomed},
    {"EditHidden", L"<Edit name=\"doomed\" height=\"24\"/>", L"doomed", L"doomed", false, HideDoomed},
    {"EditHiddenWithItsContainer",
     L"<HorizontalLayout name=\"box\" height=\"24\"><Edit name=\"doomed\"/></HorizontalLayout>", L"doomed", L"box",
     true, HideBox},
    {"ListRowHidden", L"<List name=\"list\" height=\"100\">" + std::wstring(kRow) + L"</List>", L"doomed", L"doomed",
     false, HideDoomed},
};

class FocusChange : public testing::TestWithParam<Case> {};

}  // namespace

// The focused control is acted on, and its "killfocus" receiver removes it (or its container's
// items); the window goes on working.
TEST_P(FocusChange, NothingOfTheControlIsUsedAfterItsKillFocus) {
  const Case& c = GetParam();
  ExtraWindow w(ExtraWindow::ImageSkin(c.markup + L"<Button name=\"other\" height=\"24\"/>"));
  ASSERT_NE(nullptr, w.Find(c.sender)) << c.markup;
  RECT rc = w.Find(c.sender)->GetPos();
  w.ClickAt(POINT{rc.left + 5, (rc.top + rc.bottom) / 2});
  ASSERT_EQ(w.Find(c.sender), w.GetPaintManager().GetFocus()) << c.what;
  Remover remover(w.GetPaintManager(), L"killfocus", c.sender, c.target, c.all);
  c.act(w);
  w.Pump();
  EXPECT_EQ(1, w.Count(L"killfocus", c.sender)) << c.what;
  w.Click(L"other");
  EXPECT_EQ(1, w.Count(L"click", L"other")) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Controls, FocusChange, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.what); });

// A delegate on the focused control's events removes it at its kill-focus event: its own handling
// of the event and the senders of "killfocus" leave it alone, and the receivers get the
// notification without it.
TEST(FocusChange, ControlRemovedByItsKillFocusEventIsReportedWithoutSender) {
  ExtraWindow w(
      ExtraWindow::ImageSkin(L"<Button name=\"doomed\" height=\"24\"/><Button name=\"other\" height=\"24\"/>"));
  struct Receiver {
    bool OnEvent(void* param) {
      if (static_cast<EventRecordUI*>(param)->Type != UIEVENT_KILLFOCUS) return true;
      root->SetDelayedDestroy(false);
      root->Remove(root->GetItemAt(0));
      return true;
    }
    CContainerUI* root;
  } receiver{static_cast<CContainerUI*>(w.Find(L"root")->GetInterface(L"Container"))};
  w.Click(L"doomed");
  w.Find(L"doomed")->OnEvent += MakeDelegate(&receiver, &Receiver::OnEvent);
  w.Click(L"other");
  EXPECT_EQ(nullptr, w.Find(L"doomed"));
  EXPECT_EQ(1, w.Count(L"killfocus", L""));
  EXPECT_EQ(1, w.Count(L"click", L"other"));
}
