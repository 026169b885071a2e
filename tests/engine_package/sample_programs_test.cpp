// The sample product's programs and configurations.
#include <gtest/gtest.h>

#include <map>

#include "common/sys/text_convert.h"
#include "common/zip/md5.h"
#include "engine/parser/product_config.h"
#include "engine/parser/product_reader.h"
#include "test_support.h"

namespace {

std::wstring SampleBin(const wchar_t* name) { return Utf8ToWide(SAMPLE_BIN_DIR) + L"\\" + name; }

std::string TextOf(const std::wstring& path) {
  const Bytes bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

struct WindowSearch {
  DWORD pid;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  wchar_t name[64] = {};
  GetWindowThreadProcessId(window, &owner);
  GetClassNameW(window, name, 64);
  if (owner == search->pid && wcscmp(name, search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOfProcess(DWORD pid, const wchar_t* className) {
  WindowSearch search{pid, className, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

TEST(SampleClient, RecordsItsStartAndRunsUntilClosed) {
  TempDir dir;
  const std::wstring client = dir / L"Tamsel\u6e38\u620fPelluvo.exe";
  ASSERT_TRUE(CopyFileW(SampleBin(L"client.exe").c_str(), client.c_str(), FALSE));
  std::wstring commandLine = L"\"" + client + L"\" -autostart";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(client.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process));
  CloseHandle(process.hThread);
  HWND window = nullptr;
  for (int i = 0; i < 200 && window == nullptr; ++i) {
    window = FindWindowOfProcess(process.dwProcessId, L"TamselPelluvoClient");
    if (window == nullptr) Sleep(50);
  }
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(process.hProcess, 300)) << "it stays alive";
  const std::string log = TextOf(dir / L"starts.log");
  EXPECT_NE(log.find("pid " + std::to_string(process.dwProcessId) + " args -autostart"), std::string::npos) << log;
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 10000));
  DWORD code = 99;
  GetExitCodeProcess(process.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(process.hProcess);
}

TEST(SampleHelper, RegistersUnregistersAndRecordsItsCall) {
  TempDir dir;
  const std::wstring dll = dir / L"PelluvoHelper.dll";
  ASSERT_TRUE(CopyFileW(SampleBin(L"PelluvoHelper.dll").c_str(), dll.c_str(), FALSE));
  HMODULE module = LoadLibraryW(dll.c_str());
  ASSERT_NE(module, nullptr);
  using Entry = HRESULT(__stdcall*)();
  auto reg = reinterpret_cast<Entry>(GetProcAddress(module, "DllRegisterServer"));
  auto unreg = reinterpret_cast<Entry>(GetProcAddress(module, "DllUnregisterServer"));
  auto call = reinterpret_cast<void(__stdcall*)()>(GetProcAddress(module, "PelluvoDllCall"));
  ASSERT_TRUE(reg && unreg && call);

  ASSERT_EQ(S_OK, reg());
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof(value);
  ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Orvenna\\PelluvoHelper", L"Registered",
                                        RRF_RT_REG_SZ, nullptr, value, &size));
  EXPECT_EQ(0, _wcsicmp(value, dll.c_str()));
  ASSERT_EQ(S_OK, unreg());
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND,
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Orvenna\\PelluvoHelper", 0, KEY_READ, &key));
  EXPECT_EQ(S_OK, unreg()) << "unregistering twice is no failure";

  call();
  call();
  FreeLibrary(module);
  const std::string log = TextOf(dir / L"dllcall.log");
  const std::string line = "PelluvoDllCall pid " + std::to_string(GetCurrentProcessId()) + "\r\n";
  EXPECT_EQ(log, line + line);
}

TEST(SamplePostInstall, RecordsItsArgumentsAndEnds) {
  TempDir dir;
  const std::wstring program = dir / L"PelluvoPostInstall.exe";
  ASSERT_TRUE(CopyFileW(SampleBin(L"PelluvoPostInstall.exe").c_str(), program.c_str(), FALSE));
  ASSERT_EQ(0, RunProgram(program, L"--phase AfterCopy", 20000));
  ASSERT_EQ(0, RunProgram(program, L"--phase OnUnregister", 20000));
  const std::string log = TextOf(dir / L"postinstall.log");
  EXPECT_NE(log.find("--phase AfterCopy\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("--phase OnUnregister\r\n"), std::string::npos) << log;
}

// The staged configurations load without a single complaint, and every file record's
// md5, size and time describe the staged file.
TEST(SampleProduct, ConfigurationsLoadAndDescribeTheStagedFiles) {
  const std::wstring stage = Utf8ToWide(SAMPLE_STAGE_DIR);
  ProductConfig product;
  ASSERT_EQ(1, ParseProductConfig(nullptr, stage + L"\\package\\Product.config", product));
  EXPECT_EQ(product.type, 1);
  EXPECT_EQ(product.setupInfoConfig, L"setup.config");
  EXPECT_EQ(product.installPath, L"\\Orvenna\\PelluvoV2");
  EXPECT_EQ(product.regKey, L"HKLM\\Software\\TamselPLVV2");
  ASSERT_EQ(product.componentRefs.size(), 2u);
  product.configFolder = stage + L"\\";
  ASSERT_EQ(0, product.ParseComponentConfigs(L"PLV.config,setup.config,"));
  ASSERT_EQ(product.components.size(), 2u);
  const ComponentConfig& plv = product.components[0];
  EXPECT_EQ(plv.files.size(), 13u);
  EXPECT_EQ(plv.regModules.size(), 1u);
  EXPECT_EQ(plv.regUpdates.size(), 15u);
  EXPECT_EQ(plv.shortCuts.size(), 2u);
  EXPECT_EQ(plv.runRules.size(), 8u);
  const ComponentConfig& setup = product.components[1];
  EXPECT_EQ(setup.files.size(), 2u);
  EXPECT_EQ(setup.shortCuts.size(), 2u);
  for (const ComponentConfig& component : product.components) {
    for (const FileRecord& file : component.files) {
      const std::string path = FindAttribute(file.attributes, "path");
      const Bytes bytes = ReadBytes(stage + L"\\" + Utf8ToWide(path));
      CMD5 md5;
      md5.Update(bytes.data(), bytes.size());
      EXPECT_EQ(FindAttribute(file.attributes, "md5"), md5.HexDigest()) << path;
      EXPECT_EQ(FindAttribute(file.attributes, "size"), std::to_string(bytes.size())) << path;
      EXPECT_EQ(FindAttribute(file.attributes, "time").size(), 13u) << path;
    }
  }
  std::map<std::wstring, std::wstring> setupFiles;
  ASSERT_EQ(1, ParseFileList(stage + L"\\package\\setup.config", setupFiles));
  EXPECT_EQ(setupFiles.size(), 2u);
  EXPECT_TRUE(FileExists(stage + L"\\Tamsel\u6e38\u620fPelluvo.exe")) << "the client has its Chinese name";
}
