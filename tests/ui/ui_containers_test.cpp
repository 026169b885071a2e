#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/core/base/ui_geometry.h"
#include "ui/core/base/ui_ptr_array.h"
#include "ui/core/base/ui_string_map.h"

using namespace SkinUI;

namespace {
void* P(int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(i)); }
}  // namespace

TEST(UIPtrArray, GrowsTo11ThenDoubles) {
  CUIPtrArray a;
  EXPECT_TRUE(a.Add(P(1)));
  EXPECT_EQ(11, a.GetCapacity());
  for (int i = 2; i <= 10; ++i) a.Add(P(i));
  EXPECT_EQ(11, a.GetCapacity());
  a.Add(P(11));
  EXPECT_EQ(22, a.GetCapacity());
  EXPECT_EQ(11, a.GetSize());
  for (int i = 0; i < 11; ++i) EXPECT_EQ(P(i + 1), a[i]);
}

TEST(UIPtrArray, InsertRemoveFind) {
  CUIPtrArray a;
  a.Add(P(1));
  a.Add(P(3));
  EXPECT_TRUE(a.InsertAt(1, P(2)));
  EXPECT_TRUE(a.InsertAt(3, P(4)));
  EXPECT_FALSE(a.InsertAt(5, P(9)));
  EXPECT_FALSE(a.InsertAt(-1, P(9)));
  ASSERT_EQ(4, a.GetSize());
  for (int i = 0; i < 4; ++i) EXPECT_EQ(P(i + 1), a.GetAt(i));
  EXPECT_EQ(2, a.Find(P(3)));
  EXPECT_TRUE(a.Remove(0));
  EXPECT_FALSE(a.Remove(3));
  EXPECT_EQ(P(2), a.GetAt(0));
  EXPECT_EQ(nullptr, a.GetAt(3));
  EXPECT_FALSE(a.SetAt(3, P(7)));
  EXPECT_EQ(-1, CUIPtrArray().Find(P(1)));
  CUIPtrArray copy(a);
  EXPECT_EQ(3, copy.GetSize());
  a.Resize(5);
  EXPECT_EQ(5, a.GetSize());
  EXPECT_EQ(nullptr, a.GetAt(4));
  a.Empty();
  EXPECT_TRUE(a.IsEmpty());
}

TEST(UIStringMap, AtLeast16BucketsAndBasicOperations) {
  CUIStringMap small(5);
  EXPECT_EQ(16, small.GetBucketCount());
  CUIStringMap m;
  EXPECT_EQ(83, m.GetBucketCount());
  EXPECT_TRUE(m.Insert(L"one", P(1)));
  EXPECT_FALSE(m.Insert(L"one", P(2)));
  EXPECT_EQ(P(1), m.Find(L"one"));
  EXPECT_EQ(P(1), m.Set(L"one", P(3)));
  EXPECT_EQ(P(3), m.Find(L"one"));
  EXPECT_EQ(nullptr, m.Set(L"two", P(4)));
  EXPECT_EQ(2, m.GetSize());
  EXPECT_EQ(nullptr, m.Find(L"ONE"));
  EXPECT_TRUE(m.Remove(L"one"));
  EXPECT_FALSE(m.Remove(L"one"));
  EXPECT_EQ(1, m.GetSize());
}

TEST(UIStringMap, CollidingKeysShareAChainAndFindMovesToFront) {
  CUIStringMap m(16);
  // Keys whose hash differs by a multiple of 16 land in one bucket.
  std::vector<std::wstring> keys;
  unsigned int bucket = CUIStringMap::HashKey(L"k0") % 16;
  for (int i = 0; keys.size() < 4; ++i) {
    std::wstring key = L"k" + std::to_wstring(i);
    if (CUIStringMap::HashKey(key.c_str()) % 16 == bucket) keys.push_back(key);
  }
  for (size_t i = 0; i < keys.size(); ++i) m.Insert(keys[i].c_str(), P(static_cast<int>(i) + 1));
  // Newest at the chain's head.
  EXPECT_EQ(keys[3], m.GetAt(0));
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(P(static_cast<int>(i) + 1), m.Find(keys[i].c_str(), false));
  EXPECT_EQ(keys[3], m.GetAt(0));
  m.Find(keys[0].c_str());
  EXPECT_EQ(keys[0], m.GetAt(0));
  EXPECT_TRUE(m.Remove(keys[2].c_str()));
  EXPECT_EQ(nullptr, m.Find(keys[2].c_str()));
  EXPECT_EQ(P(4), m.Find(keys[3].c_str()));
}

TEST(UIStringMap, EnumerationVisitsEveryKeyAndResizeEmpties) {
  CUIStringMap m;
  std::set<std::wstring> inserted;
  for (int i = 0; i < 500; ++i) {
    std::wstring key = L"name" + std::to_wstring(i);
    m.Insert(key.c_str(), P(i + 1));
    inserted.insert(key);
  }
  std::set<std::wstring> seen;
  for (int i = 0; i < m.GetSize(); ++i) seen.insert(m.GetAt(i));
  EXPECT_EQ(inserted, seen);
  EXPECT_EQ(nullptr, m.GetAt(500));
  m.Resize(7);
  EXPECT_EQ(0, m.GetSize());
  EXPECT_EQ(7, m.GetBucketCount());
  EXPECT_EQ(nullptr, m.Find(L"name1"));
  m.Insert(L"again", P(1));
  EXPECT_EQ(P(1), m.Find(L"again"));
  m.Resize(0);
  EXPECT_FALSE(m.Insert(L"x", P(1)));
  EXPECT_EQ(P(9), m.Set(L"x", P(9)));
}

TEST(UIGeometry, RectOperations) {
  CUIRect r(0, 0, 0, 0);
  r.Join(CUIRect(10, 10, 20, 20));
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(20, r.right);
  EXPECT_EQ(20, r.bottom);
  CUIRect d(10, 10, 50, 40);
  d.Deflate(2, 3);
  EXPECT_EQ(12, d.left);
  EXPECT_EQ(13, d.top);
  EXPECT_EQ(48, d.right);
  EXPECT_EQ(37, d.bottom);
  d.MoveToOrigin();
  EXPECT_EQ(0, d.left);
  EXPECT_EQ(36, d.GetWidth());
  CUIRect reversed(10, 10, 5, 5);
  EXPECT_EQ(-5, reversed.GetWidth());
}
