// Closed combos built from skin markup in real framework windows: the combo box's arrow frames
// from its strip, the selection by keys and the wheel, and a press that opens no drop-down.
#include <gtest/gtest.h>

#include "list_support.h"
#include "strip_image.h"
#include "ui/extra/combo/combo.h"

using namespace SkinUI;
using skinui_test::CountColour;
using skinui_test::DemoWindow;
using skinui_test::ExtraWindow;
using skinui_test::WriteStripImage;

namespace {

// normal, hot, pushed, focused, disabled
const std::vector<DWORD> kFrames = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF};

std::wstring ArrowStrip() {
  return L"arrowimage=\"file='" + WriteStripImage(L"arrow", 20, 16, kFrames) + L"' source='0,0,100,16'\"";
}

std::wstring ComboSkin(const std::wstring& comboAttributes) {
  return L"<Window size=\"300,120\"><VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"20,20,20,20\">"
         L"<ComboBox name=\"box\" width=\"200\" height=\"30\" bordersize=\"2\" bordercolor=\"#FF808080\" " +
         comboAttributes +
         L"><ListLabelElement text=\"One\"/><ListLabelElement text=\"Two\"/><ListLabelElement text=\"Three\"/>"
         L"</ComboBox><Control/></VerticalLayout></Window>";
}

struct BoxWindow : ExtraWindow {
  explicit BoxWindow(const std::wstring& attributes) : ExtraWindow(ComboSkin(attributes)) {}
  CComboBoxUI* Box() { return Get<CComboBoxUI>(L"box", L"Combo"); }
  // The frame whose colour fills the arrow's place (20 wide inside the border), or -1.
  int ArrowFrame() {
    PaintNow();
    RECT rc = Box()->GetPos();
    RECT arrow = {rc.right - 22, rc.top + 2, rc.right - 2, rc.bottom - 2};
    for (size_t i = 0; i < kFrames.size(); ++i) {
      if (CountColour(*this, arrow, kFrames[i]) == 20 * 26) return static_cast<int>(i);
    }
    return -1;
  }
  // Pixels of any frame colour anywhere in the combo.
  int ArrowPixels() {
    PaintNow();
    int n = 0;
    for (DWORD colour : kFrames) n += CountColour(*this, Box()->GetPos(), colour);
    return n;
  }
  int Selects() { return Count(L"itemselect", L"box"); }
};

}  // namespace

// A 100-pixel strip makes 20-pixel frames: normal, hot under the pointer, focused, disabled; the
// arrow stands inside the border at the right edge and nowhere else. Without a quoted "source"
// rectangle the image names no frames: nothing is drawn, no state image either.
TEST(ComboBox, ArrowFramesComeFromTheStripByState) {
  std::wstring strip = WriteStripImage(L"arrow", 20, 16, kFrames);
  BoxWindow window(L"arrowimage=\"file='" + strip + L"' source='0,0,100,16'\"");
  CComboBoxUI* box = window.Box();
  ASSERT_NE(nullptr, box);
  EXPECT_EQ(0, window.ArrowFrame());
  EXPECT_EQ(20 * 26, window.ArrowPixels()) << "one frame, 20 by 26 inside the border";
  POINT inside = DemoWindow::Centre(box);
  window.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
  window.Pump();
  EXPECT_EQ(1, window.ArrowFrame());
  window.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  window.Pump();
  window.GetPaintManager().SetFocus(box);
  EXPECT_EQ(3, window.ArrowFrame());
  box->SetEnabled(false);
  EXPECT_EQ(4, window.ArrowFrame());

  for (const std::wstring& arrow : {L"file='" + strip + L"'", L"file='" + strip + L"' source='0,0,100,16"}) {
    BoxWindow unsourced(L"normalimage=\"file='" + strip + L"'\" arrowimage=\"" + arrow + L"\"");
    EXPECT_EQ(0, unsourced.ArrowPixels()) << std::string(arrow.begin(), arrow.end());
  }
}

// Keys and the wheel move the selection of a closed combo, each change with one "itemselect"
// (new and previous index); without "scrollselect" the wheel does nothing.
TEST(Combo, KeysAndWheelSelectWhileClosed) {
  BoxWindow window(L"");
  CComboBoxUI* box = window.Box();
  window.GetPaintManager().SetFocus(box);
  window.Key(VK_DOWN);
  EXPECT_EQ(0, box->GetCurSel());
  window.Key(VK_END);
  EXPECT_EQ(2, box->GetCurSel());
  ASSERT_EQ(2, window.Selects());
  EXPECT_EQ(2u, window.Last(L"itemselect")->wParam);
  EXPECT_EQ(0, window.Last(L"itemselect")->lParam);
  EXPECT_TRUE(box->SelectItem(5)) << "past the end: the last item, selected already";
  EXPECT_EQ(2, window.Selects());
  EXPECT_STREQ(L"Three", box->GetText().GetData());

  window.Wheel(DemoWindow::Centre(box), false);
  EXPECT_EQ(1, box->GetCurSel());
  EXPECT_EQ(3, window.Selects());
  box->SetAttribute(L"scrollselect", L"false");
  window.Wheel(DemoWindow::Centre(box), false);
  EXPECT_EQ(1, box->GetCurSel());
  EXPECT_EQ(3, window.Selects());
}

// A "predropdown" handler that disables the combo keeps its drop-down shut; enabled again, the
// combo is not drawn pushed, as no drop-down is open.
TEST(Combo, PressThatOpensNoDropDownLeavesItUnpushed) {
  BoxWindow window(ArrowStrip());
  CComboBoxUI* box = window.Box();
  struct Veto {
    CComboUI* combo;
    bool OnNotify(void* p) {
      if (static_cast<NotifyRecordUI*>(p)->sType == L"predropdown") combo->SetEnabled(false);
      return true;
    }
  } veto{box};
  box->OnNotify += MakeDelegate(&veto, &Veto::OnNotify);
  window.ClickAt(DemoWindow::Centre(box));
  EXPECT_EQ(1, window.Count(L"predropdown"));
  EXPECT_EQ(nullptr, box->GetDropDown());
  EXPECT_EQ(0, window.Count(L"dropdown"));
  box->SetEnabled(true);
  EXPECT_EQ(3, window.ArrowFrame()) << "focused by the press, not pushed (2)";
}
