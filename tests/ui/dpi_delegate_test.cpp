#include <gtest/gtest.h>

#include <vector>

#include "ui/core/base/delegate.h"
#include "ui/core/base/dpi_scaler.h"

using namespace SkinUI;

TEST(DPIScaler, At96EverythingIsUnchanged) {
  CDPIScaler dpi;
  EXPECT_EQ(100, dpi.GetScale());
  EXPECT_EQ(96, dpi.GetDPI());
  EXPECT_EQ(37, dpi.Scale(37));
  RECT rc = {3, 4, 50, 60};
  dpi.Scale(&rc);
  EXPECT_EQ(3, rc.left);
  EXPECT_EQ(60, rc.bottom);
  EXPECT_EQ(37, dpi.ScaleBack(37));
}

TEST(DPIScaler, At144ScalesSizeIndependentlyOfPlace) {
  CDPIScaler dpi;
  dpi.SetDPI(144);
  EXPECT_EQ(150, dpi.GetScale());
  EXPECT_EQ(144, dpi.GetDPI());
  RECT rc = {1, 1, 4, 4};
  dpi.Scale(&rc);
  EXPECT_EQ(2, rc.left);
  EXPECT_EQ(2, rc.top);
  EXPECT_EQ(7, rc.right);
  EXPECT_EQ(7, rc.bottom);
  RECT out;
  dpi.Scale(101, 0, 104, 3, &out);
  EXPECT_EQ(5, out.right - out.left);
  SIZE size = {10, 20};
  dpi.Scale(&size);
  EXPECT_EQ(15, size.cx);
  EXPECT_EQ(30, size.cy);
  POINT pt = {2, 3};
  dpi.Scale(&pt);
  EXPECT_EQ(3, pt.x);
  EXPECT_EQ(5, pt.y);  // 4.5 rounds up
  EXPECT_EQ(10, dpi.ScaleBack(15));
  RECT back = {2, 2, 7, 7};
  dpi.ScaleBack(&back);
  EXPECT_EQ(1, back.left);
  EXPECT_EQ(4, back.right);
}

namespace {

class Listener {
 public:
  explicit Listener(bool answer) : m_answer(answer) {}
  bool OnCall(void* param) {
    calls.push_back(*static_cast<int*>(param));
    return m_answer;
  }
  bool OnOther(void*) {
    ++others;
    return true;
  }
  std::vector<int> calls;
  int others = 0;

 private:
  bool m_answer;
};

}  // namespace

TEST(EventSource, EmptySourceInvokesAsTrue) {
  CEventSource source;
  EXPECT_FALSE(static_cast<bool>(source));
  int value = 1;
  EXPECT_TRUE(source(&value));
}

TEST(EventSource, SameObjectAndFunctionIsKeptOnce) {
  Listener a(true);
  CEventSource source;
  EXPECT_TRUE(source += MakeDelegate(&a, &Listener::OnCall));
  EXPECT_TRUE(source += MakeDelegate(&a, &Listener::OnCall));
  source += MakeDelegate(&a, &Listener::OnOther);
  int value = 7;
  EXPECT_TRUE(source(&value));
  EXPECT_EQ(std::vector<int>{7}, a.calls);
  EXPECT_EQ(1, a.others);
}

TEST(EventSource, FalseStopsTheLaterDelegates) {
  Listener first(true), stopper(false), never(true);
  CEventSource source;
  source += MakeDelegate(&first, &Listener::OnCall);
  source += MakeDelegate(&stopper, &Listener::OnCall);
  source += MakeDelegate(&never, &Listener::OnCall);
  int value = 3;
  EXPECT_FALSE(source(&value));
  EXPECT_EQ(1u, first.calls.size());
  EXPECT_EQ(1u, stopper.calls.size());
  EXPECT_TRUE(never.calls.empty());
}

// A delegate may destroy the source calling it, as a control deleted by its own delegate takes its
// sources along; also from inside a nested call of the same source. The calls stop there.
TEST(EventSource, DestroyedByItsOwnDelegateStopsEveryCallInProgress) {
  struct Actor {
    CEventSource* source;
    bool entered = false;
    bool nested = false;
    bool Reenter(void* param) {
      if (entered) return true;
      entered = nested = true;
      (*source)(param);
      nested = false;
      return true;
    }
    bool DestroyWhenNested(void*) {
      if (nested) delete source;
      return true;
    }
  };
  Listener after(true);
  auto* source = new CEventSource;
  Actor actor{source};
  *source += MakeDelegate(&actor, &Actor::Reenter);
  *source += MakeDelegate(&actor, &Actor::DestroyWhenNested);
  *source += MakeDelegate(&after, &Listener::OnCall);
  int value = 4;
  EXPECT_FALSE((*source)(&value));
  EXPECT_TRUE(after.calls.empty());
}

TEST(Delegate, EqualityNeedsObjectAndFunction) {
  Listener a(true), b(true);
  auto d1 = MakeDelegate(&a, &Listener::OnCall);
  auto d2 = MakeDelegate(&a, &Listener::OnCall);
  auto d3 = MakeDelegate(&b, &Listener::OnCall);
  auto d4 = MakeDelegate(&a, &Listener::OnOther);
  EXPECT_TRUE(d1.Equals(d2));
  EXPECT_FALSE(d1.Equals(d3));
  EXPECT_FALSE(d1.Equals(d4));
  CDelegateBase* copy = d1.Copy();
  EXPECT_TRUE(copy->Equals(d1));
  int v = 5;
  EXPECT_TRUE(copy->Invoke(&v));
  EXPECT_EQ(std::vector<int>{5}, a.calls);
  delete copy;
}
