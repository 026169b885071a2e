// COM servers: a DLL registered in process (its marker in the registry) and unregistered, a
// program by its switch, a 64-bit DLL through the registrar, and the failures' results.
#include <gtest/gtest.h>

#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

const wchar_t kMarkerKey[] = L"Software\\TamselUpdateTests\\Com";

RegModuleRecord Server(const std::wstring& path) {
  RegModuleRecord record;
  record.attributes = Attributes({{"path", Utf8(path)}});
  return record;
}

class ComRegistration : public ::testing::Test {
 protected:
  ComRegistration() : dll_(L"server " + UniqueName() + L".dll") {
    engine_.newProduct.productFolder = folder_ / L"product";
    engine_.installedProduct.productFolder = folder_ / L"product";
    engine_.prompt = &prompt_;
  }
  ~ComRegistration() override {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kMarkerKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, dll_.c_str());
      RegCloseKey(key);
    }
  }
  std::wstring Product(const std::wstring& relative) const {
    return engine_.newProduct.productFolder + L"\\" + relative;
  }
  std::wstring Marker() const { return ReadText(HKEY_CURRENT_USER, kMarkerKey, dll_); }
  std::wstring Registrar() const { return Product(L"Setup\\DllRegX64.exe"); }

  ComScope com_;
  TempFolder folder_;
  std::wstring dll_;
  CUpdateEngEx engine_;
  RecordingPrompt prompt_;
};

TEST_F(ComRegistration, DllIsRegisteredInProcessAndUnregistered) {
  InstallHelper(L"update_com_server.dll", Product(L"bin\\" + dll_));
  EXPECT_EQ(RegComponent(Product(L"bin\\" + dll_), Registrar()), 0);
  EXPECT_EQ(Marker(), L"registered");
  EXPECT_EQ(UnregComponent(Product(L"bin\\" + dll_), Registrar()), 0);
  EXPECT_EQ(Marker(), L"<missing>");
}

TEST_F(ComRegistration, InstallAndUninstallWalkTheirLists) {
  InstallHelper(L"update_com_server.dll", Product(L"bin\\" + dll_));
  engine_.addList.regModules = {Server(L"bin\\excluded.dll"), Server(L"bin\\" + dll_)};
  engine_.addList.regModules[0].excluded = true;
  engine_.InstallDlls();
  EXPECT_EQ(Marker(), L"registered");
  EXPECT_EQ(prompt_.calls, (std::vector<std::wstring>{L"X 11 0 2 " + Product(L"bin\\" + dll_) + L" 5", L"P 11 5 "}));

  engine_.deleteList.regModules = engine_.addList.regModules;
  engine_.UninstallDlls();
  EXPECT_EQ(Marker(), L"<missing>");
  EXPECT_EQ(prompt_.calls.size(), 2u) << "the uninstall reports nothing";
}

TEST_F(ComRegistration, FailuresGiveTheirResults) {
  InstallHelper(L"update_export.dll", Product(L"bin\\plain.dll"));
  EXPECT_EQ(RegComponent(Product(L"bin\\plain.dll"), Registrar()), -2) << "no DllRegisterServer";
  InstallHelper(L"update_com_server.dll", Product(L"bin\\fail " + dll_));
  EXPECT_EQ(RegComponent(Product(L"bin\\fail " + dll_), Registrar()), static_cast<int>(E_FAIL));
  EXPECT_GT(RegComponent(Product(L"bin\\absent.dll"), Registrar()), 0) << "the load error";
}

TEST_F(ComRegistration, ProgramServerRunsWithItsSwitchAndIsWaitedFor) {
  const std::wstring server = Product(L"bin\\server.EXE");
  InstallHelper(L"update_child.exe", server);
  EXPECT_EQ(RegComponent(server, Registrar()), 0);
  std::vector<std::wstring> log = ChildLog(server + L".log");
  ASSERT_EQ(log.size(), 2u) << "waited until the program ended";
  EXPECT_EQ(log[0].substr(0, log[0].rfind(L'\t')), L"start\t\"" + server + L"\" /regserver");
  EXPECT_EQ(UnregComponent(server, Registrar()), 0);
  log = ChildLog(server + L".log");
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[2].substr(0, log[2].rfind(L'\t')), L"start\t\"" + server + L"\" /unregserver");
}

TEST_F(ComRegistration, SixtyFourBitDllGoesToTheRegistrar) {
  const std::wstring module = Product(L"bin\\x64 server.dll");
  WriteFakePe64(module);
  // No registrar: nothing registered, no wait, 0.
  EXPECT_EQ(RegComponent(module, Registrar()), 0);

  InstallHelper(L"update_child.exe", Registrar());
  EXPECT_EQ(RegComponent(module, Registrar()), 0);
  EXPECT_EQ(UnregComponent(module, Registrar()), 0);
  const std::vector<std::wstring> log = ChildLog(Registrar() + L".log");
  ASSERT_EQ(log.size(), 4u) << "each registrar run was waited for";
  EXPECT_EQ(log[0].substr(0, log[0].rfind(L'\t')), L"start\t\"" + Registrar() + L"\"  /r \"" + module + L"\"");
  EXPECT_EQ(log[2].substr(0, log[2].rfind(L'\t')), L"start\t\"" + Registrar() + L"\"  /u \"" + module + L"\"");
}

}  // namespace
