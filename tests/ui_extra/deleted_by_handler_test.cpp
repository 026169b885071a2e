// Controls removed, and deleted at once, by the receiver of the notification they send: nothing of
// them may be touched afterwards. Run under Wine's heap checks, where a freed block reads as
// 0xfeeefeee, so that a use after the deletion crashes or is reported.
#include <gtest/gtest.h>

#include <string>

#include "list_support.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/scrollbar.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

namespace {

// Removes the control named "doomed" from its container, which deletes it at once.
struct Remover : INotifyUI {
  Remover(CPaintManagerUI& pm, const wchar_t* type) : pm(pm), type(type) { pm.AddNotifier(this); }
  ~Remover() { pm.RemoveNotifier(this); }
  void Notify(NotifyRecordUI& msg) override {
    CControlUI* doomed = pm.FindControl(L"doomed");
    if (doomed == nullptr || msg.sType != type) return;
    auto* parent = static_cast<CContainerUI*>(doomed->GetParent()->GetInterface(L"Container"));
    parent->SetDelayedDestroy(false);
    parent->Remove(doomed);
  }
  CPaintManagerUI& pm;
  const wchar_t* type;
};

// A receiver after the remover: it reads the sender, which it must get only while that lives.
struct SenderReader : INotifyUI {
  explicit SenderReader(CPaintManagerUI& pm) : pm(pm) { pm.AddNotifier(this); }
  ~SenderReader() { pm.RemoveNotifier(this); }
  void Notify(NotifyRecordUI& msg) override {
    if (msg.pSender != nullptr) msg.pSender->GetName();
  }
  CPaintManagerUI& pm;
};

// A point inside the named control, off its middle: clear of a list header's separator and on a
// tree node's own area.
POINT Inside(ExtraWindow& w, const wchar_t* name) {
  RECT rc = w.Find(name)->GetPos();
  return POINT{rc.right - 10, (rc.top + rc.bottom) / 2};
}

const wchar_t kRows[] =
    L"<ListLabelElement name=\"row\" text=\"a\" height=\"20\"/><ListLabelElement text=\"b\" height=\"20\"/>";

struct Case {
  const char* what;
  const wchar_t* type;
  std::wstring markup;
  void (*act)(ExtraWindow&);
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

void Click(ExtraWindow& w) { w.ClickAt(Inside(w, L"doomed")); }
void ClickRow(ExtraWindow& w) { w.ClickAt(Inside(w, L"row")); }
void DoubleClickRow(ExtraWindow& w) { w.DoubleClickAt(Inside(w, L"row")); }
void ClickHeader(ExtraWindow& w) { w.ClickAt(ExtraWindow::Centre(w.Find(L"head"))); }
void WheelDown(ExtraWindow& w) { w.Wheel(Inside(w, L"doomed"), true); }
void ClickBarsDownButton(ExtraWindow& w) {
  RECT bar = static_cast<CContainerUI*>(w.Find(L"doomed"))->GetVerticalScrollBar()->GetPos();
  w.ClickAt(POINT{(bar.left + bar.right) / 2, bar.bottom - 3});
}

const std::wstring kList =
    L"<List name=\"doomed\" height=\"100\"><ListHeader height=\"24\"><ListHeaderItem "
    L"name=\"head\" width=\"100\" text=\"A\"/></ListHeader>" +
    std::wstring(kRows) + L"</List>";

const std::wstring kTree = L"<TreeView name=\"doomed\"><TreeNode name=\"row\" text=\"A\"/></TreeView>";

const Case kCases[] = {
    {"ButtonClick", L"click", L"<Button name=\"doomed\" height=\"24\"/>", Click},
    {"OptionSelectChanged", L"selectchanged", L"<Option name=\"doomed\" height=\"24\"/>", Click},
    {"CheckBoxCheckClick", L"checkclick", L"<CheckBox name=\"doomed\" height=\"24\" EnableAutoCheck=\"true\"/>", Click},
    {"SliderValueChanged", L"valuechanged", L"<Slider name=\"doomed\" height=\"20\" thumbsize=\"10,10\"/>", Click},
    {"PaletteColorChanged", L"colorchanged",
     L"<ColorPalette name=\"doomed\" height=\"120\" palletheight=\"100\" barheight=\"10\"/>", Click},
    {"ListItemSelect", L"itemselect", kList, ClickRow},
    {"ListItemActivate", L"itemactivate", kList, DoubleClickRow},
    {"ListHeaderClick", L"headerclick", kList, ClickHeader},
    {"TreeNodeDoubleClick", L"treeitemdbclick", kTree, DoubleClickRow},
    {"ComboItemSelect", L"itemselect", L"<Combo name=\"doomed\" height=\"24\">" + std::wstring(kRows) + L"</Combo>",
     WheelDown},
    {"ScrollBarScroll", L"scroll",
     L"<VerticalLayout name=\"doomed\" height=\"60\" vscrollbar=\"true\"><Control height=\"200\"/>"
     L"</VerticalLayout>",
     ClickBarsDownButton},
};

class DeletedByHandler : public testing::TestWithParam<Case> {};

}  // namespace

// Each control is acted on as a person would, and deleted by the receiver of the notification
// named; the window goes on working.
TEST_P(DeletedByHandler, NothingOfTheControlIsUsedAfterItsNotification) {
  const Case& c = GetParam();
  ExtraWindow w(ExtraWindow::ImageSkin(c.markup + L"<Button name=\"other\" height=\"24\"/>"));
  ASSERT_NE(nullptr, w.Find(L"doomed")) << c.markup;
  Remover remover(w.GetPaintManager(), c.type);
  SenderReader reader(w.GetPaintManager());
  c.act(w);
  w.Pump();
  EXPECT_EQ(nullptr, w.Find(L"doomed")) << c.type << " from " << c.markup;
  w.Click(L"other");
  EXPECT_EQ(1, w.Count(L"click", L"other")) << c.type;
}

INSTANTIATE_TEST_SUITE_P(Controls, DeletedByHandler, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.what); });
