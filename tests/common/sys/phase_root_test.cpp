// Run by prefix_phases.sh roots in a private prefix copy: were the refusal broken, these calls
// would write to or wipe whole root keys, which no shared prefix may risk.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/reg_editor.h"
#include "sys_test_support.h"

namespace {

using systest::KeyExists;
using systest::ReadRegValue;

const wchar_t kSentinelKey[] = L"Software\\TamselSysRootSentinel";

void WriteRootValue(HKEY root, const wchar_t* name) {
  const wchar_t text[] = L"sentinel";
  ASSERT_EQ(RegSetValueExW(root, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)), ERROR_SUCCESS);
}

bool RootValueExists(HKEY root, const wchar_t* name) {
  return RegQueryValueExW(root, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TEST(RootRefusal, PathsWithoutASubkeyNeverTouchARoot) {
  HKEY sentinel = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(HKEY_CURRENT_USER, kSentinelKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sentinel, nullptr),
      ERROR_SUCCESS);
  RegCloseKey(sentinel);
  WriteRootValue(HKEY_CURRENT_USER, L"TamselRootValue");

  for (const wchar_t* path : {L"HKCU\\", L"HKCU", L"hkcu/", L"HKLM", L"HKLM\\", L"HKCR\\", L"HKUS", L"HKCC\\"}) {
    EXPECT_FALSE(CRegEditor::Clean(path, L"")) << "key tree of a root";
    EXPECT_FALSE(CRegEditor::Clean(path, L"TamselRootValue")) << "value of a root";
    EXPECT_FALSE(CRegEditor::SetValue(path, L"TamselWritten", REG_SZ, L"x")) << "value written to a root";
  }
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSentinelKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Wine"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  EXPECT_TRUE(RootValueExists(HKEY_CURRENT_USER, L"TamselRootValue"));
  EXPECT_FALSE(RootValueExists(HKEY_CURRENT_USER, L"TamselWritten"));
  EXPECT_FALSE(RootValueExists(HKEY_LOCAL_MACHINE, L"TamselWritten"));
}

TEST(RootRefusal, DeleteKeyTreeNeverDeletesItsParent) {
  EXPECT_FALSE(CRegEditor::DeleteKeyTree(HKEY_CURRENT_USER, L""));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Wine"));
}

}  // namespace
