// The self-drawn IPv4 field, built from skin markup and driven by posted keys, clicks and wheel
// turns; the octet being edited is highlighted in the window's pixels.
#include <gtest/gtest.h>

#include "canvas.h"
#include "list_support.h"
#include "ui/extra/editors/ip_address.h"
#include "ui/extra/ipfield/ip_address_ex.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

namespace {

const wchar_t kSkin[] =
    L"<Window size=\"300,140\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<IPAddressEx name=\"field\" height=\"30\" width=\"200\" textcolor=\"#FF000000\"/>"
    L"<Label name=\"other\" height=\"30\" text=\"other\"/><IPAddress name=\"native\" height=\"30\"/>"
    L"</VerticalLayout></Window>";
const DWORD kHighlight = 0x3399FF;

// Highlighted pixels in each of the field's four columns.
std::vector<int> HighlightByOctet(ExtraWindow& w, CControlUI* field) {
  w.PaintNow();
  RECT rc = field->GetPos();
  const int column = (rc.right - rc.left) / 4;
  std::vector<int> counts(4, 0);
  for (int x = rc.left; x < rc.right; ++x) {
    for (int y = rc.top; y < rc.bottom; ++y)
      counts[std::min<LONG>(3, (x - rc.left) / column)] += w.Pixel(x, y) == kHighlight;
  }
  return counts;
}

void Keys(ExtraWindow& w, std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) w.Key(key);
}

}  // namespace

TEST(IPAddressEx, DigitsFillTheClickedOctetAndKeysMoveAndChangeIt) {
  ExtraWindow w(kSkin);
  auto* field = w.Get<CIPAddressExUI>(L"field", L"IPAddressEx");
  ASSERT_NE(nullptr, field);
  EXPECT_STREQ(L"0.0.0.0", field->GetText().GetData());
  const RECT rc = field->GetPos();
  const POINT first = {rc.left + 10, (rc.top + rc.bottom) / 2};
  w.ClickAt(first);
  std::vector<int> lit = HighlightByOctet(w, field);
  EXPECT_TRUE(lit[0] > 0 && lit[1] + lit[2] + lit[3] == 0) << "the clicked octet is highlighted";

  Keys(w, {'1', '9', '2'});
  EXPECT_STREQ(L"192.0.0.0", field->GetText().GetData());
  lit = HighlightByOctet(w, field);
  EXPECT_GT(lit[1], 0) << "three digits move on to the second octet";
  EXPECT_EQ(0, lit[0] + lit[2] + lit[3]);

  Keys(w, {VK_NUMPAD7, VK_UP});
  EXPECT_STREQ(L"192.8.0.0", field->GetText().GetData());
  w.Wheel(first, false);
  EXPECT_STREQ(L"192.9.0.0", field->GetText().GetData()) << "the wheel away from the user counts up";
  w.Wheel(first, true);
  w.Key(VK_DOWN);
  EXPECT_STREQ(L"192.7.0.0", field->GetText().GetData());

  Keys(w, {VK_LEFT, VK_DELETE});
  EXPECT_STREQ(L"0.7.0.0", field->GetText().GetData());
  Keys(w, {'9', '9', '9', VK_RIGHT, VK_DECIMAL});
  EXPECT_STREQ(L"255.7.0.0", field->GetText().GetData()) << "clamped, and on to the fourth octet";
  Keys(w, {'1', '2', '3', '4'});
  EXPECT_STREQ(L"255.7.0.123", field->GetText().GetData()) << "the last octet takes three digits";
  Keys(w, {VK_RIGHT, VK_BACK, '5', VK_UP});
  EXPECT_STREQ(L"255.7.0.6", field->GetText().GetData()) << "right of the last octet stays there";

  w.Click(L"other");
  lit = HighlightByOctet(w, field);
  EXPECT_EQ(0, lit[0] + lit[1] + lit[2] + lit[3]) << "no highlight without the focus";
  Keys(w, {'1', VK_UP});
  EXPECT_STREQ(L"255.7.0.6", field->GetText().GetData());
}

// Both IP controls are built by their element names; a caller that asks for "IPAddress" and casts
// gets the native editor's type, never the self-drawn field.
TEST(IPAddressEx, InterfaceNamesAnswerOnlyForTheirOwnType) {
  ExtraWindow w(kSkin);
  CControlUI* field = w.Find(L"field");
  CControlUI* native = w.Find(L"native");
  ASSERT_NE(nullptr, dynamic_cast<CIPAddressExUI*>(field));
  ASSERT_NE(nullptr, dynamic_cast<CIPAddressUI*>(native));
  EXPECT_EQ(nullptr, field->GetInterface(L"IPAddress"));
  EXPECT_EQ(dynamic_cast<CIPAddressUI*>(native), native->GetInterface(L"IPAddress"));
  EXPECT_EQ(nullptr, native->GetInterface(L"IPAddressEx"));
  EXPECT_EQ(dynamic_cast<CEditUI*>(field), field->GetInterface(L"Edit"));
  EXPECT_STREQ(L"IPAddressExUI", field->GetClass());
  EXPECT_STREQ(L"IPAddressUI", native->GetClass());
}

// The highlight's colours are the field's own: the device context is left as the field found it.
TEST(IPAddressEx, PaintingTheHighlightLeavesTheDeviceContextAsFound) {
  ExtraWindow w(kSkin);
  CControlUI* field = w.Find(L"field");
  const RECT rc = field->GetPos();
  w.ClickAt(POINT{rc.left + 10, (rc.top + rc.bottom) / 2});
  skinui_test::Canvas canvas(rc.right, rc.bottom);
  HDC dc = canvas.dc();
  SetBkColor(dc, RGB(1, 2, 3));
  SetTextColor(dc, RGB(4, 5, 6));
  SetBkMode(dc, OPAQUE);
  field->PaintText(dc);
  int lit = 0;
  for (int x = rc.left; x < rc.right; ++x) lit += canvas.At(x, (rc.top + rc.bottom) / 2) == kHighlight;
  EXPECT_GT(lit, 0) << "the first octet is drawn highlighted";
  EXPECT_EQ(RGB(1, 2, 3), GetBkColor(dc));
  EXPECT_EQ(RGB(4, 5, 6), GetTextColor(dc));
  EXPECT_EQ(OPAQUE, GetBkMode(dc));
}
