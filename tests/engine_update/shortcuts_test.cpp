// Shortcuts: created on the desktop (a real folder of the test prefix), in a start-menu folder
// and among the pinned items, read back through IShellLinkW, and removed by the uninstall.
#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "common/sys/system_info.h"
#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

struct LinkContent {
  std::wstring path, arguments, folder;
  int show = -1;
  bool loaded = false;
};

LinkContent ReadLink(const std::wstring& file) {
  LinkContent content;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return content;
  }
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
      wchar_t text[MAX_PATH * 2] = {};
      link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH);
      content.path = text;
      text[0] = 0;
      link->GetArguments(text, MAX_PATH * 2);
      content.arguments = text;
      text[0] = 0;
      link->GetWorkingDirectory(text, MAX_PATH * 2);
      content.folder = text;
      link->GetShowCmd(&content.show);
      content.loaded = true;
    }
    persist->Release();
  }
  link->Release();
  return content;
}

std::string NameAttribute() {
  const std::wstring& code = SystemInfo::GetInstance().LanguageCode();
  return "name_" + (code.empty() ? std::string("0409") : Utf8(code));
}

ShortCutRecord Shortcut(int location, const std::wstring& name, const std::string& link, const std::string& argv = "",
                        const std::wstring& folderName = L"") {
  ShortCutRecord record;
  record.location = location;
  record.attributes = Attributes({{NameAttribute().c_str(), Utf8(name)}, {"link", link}});
  if (!argv.empty()) record.attributes["argv"] = argv;
  if (!folderName.empty()) record.folder = Attributes({{NameAttribute().c_str(), Utf8(folderName)}});
  return record;
}

class Shortcuts : public ::testing::Test {
 protected:
  Shortcuts() : name_(L"Tamsel\u6e38\u620f " + UniqueName()) {
    engine_.newProduct.productFolder = folder_ / L"product";
    engine_.installedProduct.productFolder = folder_ / L"product";
    WriteFileBytes(Target(), "client");
    engine_.prompt = &prompt_;
  }
  ~Shortcuts() override {
    for (const std::wstring& file :
         {GetDesktopDir() + L"\\" + name_ + L".lnk", GetQuickLaunchPinDir() + L"\\" + name_ + L".lnk",
          GetProgramsDir() + L"\\" + name_ + L".lnk"}) {
      DeleteFileW(file.c_str());
    }
    RemoveTree(GetProgramsDir() + L"\\" + name_);
  }
  std::wstring Target() const { return engine_.newProduct.productFolder + L"\\bin\\client.exe"; }

  ComScope com_;
  // Wine keeps a link's target in the ANSI code page only: the product folder stays ASCII.
  TempFolder folder_{L" links"};
  std::wstring name_;
  CUpdateEngEx engine_;
  RecordingPrompt prompt_;
};

TEST_F(Shortcuts, DesktopIsARealFolderInsideThePrefix) {
  const std::wstring desktop = GetDesktopDir();
  EXPECT_EQ(desktop.rfind(L"C:\\users\\", 0), 0u) << Utf8(desktop);
  const DWORD attributes = GetFileAttributesW(desktop.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << "a link to the host's home";
  EXPECT_NE(GetProgramsDir(), L"");
  EXPECT_NE(GetQuickLaunchPinDir().find(L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar"),
            std::wstring::npos);
}

TEST_F(Shortcuts, CreateShortCutSavesTargetArgumentsAndFolder) {
  const std::wstring file = folder_ / L"client.lnk";
  EXPECT_EQ(CUpdateEngEx::CreateShortCut(file, Target(), L"-start \u6e38"), 0);
  const LinkContent link = ReadLink(file);
  ASSERT_TRUE(link.loaded);
  EXPECT_EQ(link.path, Target());
  EXPECT_EQ(link.arguments, L"-start \u6e38");
  EXPECT_EQ(link.folder, engine_.newProduct.productFolder + L"\\bin");
  EXPECT_EQ(link.show, SW_SHOWNORMAL) << "the link format keeps SW_SHOW as SW_SHOWNORMAL";
}

TEST_F(Shortcuts, TargetWithoutFolderIsItsOwnWorkingFolder) {
  const std::wstring file = folder_ / L"bare.lnk";
  EXPECT_EQ(CUpdateEngEx::CreateShortCut(file, L"notepad.exe", L""), 0);
  EXPECT_EQ(ReadLink(file).folder, L"notepad.exe");
}

TEST_F(Shortcuts, FailedSaveIsAFailure) {
  EXPECT_EQ(CUpdateEngEx::CreateShortCut(folder_ / L"no such folder\\x.lnk", Target(), L""), -3);
}

TEST_F(Shortcuts, InstallCreatesDesktopStartMenuAndPinnedShortcuts) {
  // The pinned-items folder may not exist yet: the install makes it like the start-menu folder.
  // (No other test makes pinned shortcuts, so the folder is empty unless a run was cut short.)
  RemoveDirectoryW(GetQuickLaunchPinDir().c_str());
  ASSERT_FALSE(Exists(GetQuickLaunchPinDir()));
  engine_.addList.shortCuts = {
      Shortcut(kShortCutDesktop, name_, "bin\\client.exe"),
      Shortcut(kShortCutStartMenu, L"Start " + name_, "bin\\client.exe", "-menu", name_),
      Shortcut(kShortCutQuickLaunch, name_, "bin\\client.exe", "-pinned"),
  };
  engine_.InstallShortcuts(true);

  const std::wstring desktop = GetDesktopDir() + L"\\" + name_ + L".lnk";
  const std::wstring menu = GetProgramsDir() + L"\\" + name_ + L"\\Start " + name_ + L".lnk";
  const std::wstring pinned = GetQuickLaunchPinDir() + L"\\" + name_ + L".lnk";
  EXPECT_EQ(ReadLink(desktop).path, Target());
  EXPECT_EQ(ReadLink(desktop).arguments, L"") << "no \"argv\": no arguments";
  EXPECT_EQ(ReadLink(menu).path, Target());
  EXPECT_EQ(ReadLink(menu).arguments, L"-menu");
  EXPECT_EQ(ReadLink(pinned).path, Target());
  EXPECT_EQ(ReadLink(pinned).arguments, L"-pinned");
  EXPECT_EQ(prompt_.calls,
            (std::vector<std::wstring>{L"X 12 1 3 " + GetDesktopDir() + L"\\" + name_ + L" 5",
                                       L"X 12 2 3 " + GetProgramsDir() + L"\\" + name_ + L"\\Start " + name_ + L" 5",
                                       L"X 12 3 3 " + GetQuickLaunchPinDir() + L"\\" + name_ + L" 5", L"P 0 5 "}));

  engine_.deleteList.shortCuts = engine_.addList.shortCuts;
  WriteFileBytes(GetProgramsDir() + L"\\" + name_ + L"\\user note.txt", "the user's");
  engine_.UninstallShortcuts();
  EXPECT_FALSE(Exists(desktop));
  EXPECT_FALSE(Exists(pinned));
  EXPECT_FALSE(Exists(GetProgramsDir() + L"\\" + name_)) << "the start-menu folder goes with what is in it";
  EXPECT_TRUE(Exists(GetQuickLaunchPinDir())) << "the pinned-items folder stays";
}

TEST_F(Shortcuts, DesktopFlagOffMakesNoDesktopShortcutButCountsIt) {
  engine_.addList.shortCuts = {Shortcut(kShortCutDesktop, name_, "bin\\client.exe"),
                               Shortcut(kShortCutStartMenu, name_, "bin\\client.exe", "", name_)};
  engine_.InstallShortcuts(false);
  const std::wstring menu = GetProgramsDir() + L"\\" + name_ + L"\\" + name_;
  EXPECT_FALSE(Exists(GetDesktopDir() + L"\\" + name_ + L".lnk"));
  EXPECT_TRUE(Exists(menu + L".lnk"));
  EXPECT_EQ(prompt_.calls.front(), L"X 12 1 2 " + menu + L" 5");
  engine_.deleteList.shortCuts = engine_.addList.shortCuts;
  engine_.UninstallShortcuts();  // the absent desktop shortcut is simply missing
  EXPECT_FALSE(Exists(menu + L".lnk"));
}

TEST_F(Shortcuts, LinkExtensionIsAddedOnlyWhenMissingExactly) {
  engine_.addList.shortCuts = {Shortcut(kShortCutStartMenu, L"a.lnk", "bin\\client.exe", "", name_),
                               Shortcut(kShortCutStartMenu, L"B.LNK", "bin\\client.exe", "", name_)};
  engine_.InstallShortcuts(true);
  const std::wstring folder = GetProgramsDir() + L"\\" + name_;
  EXPECT_TRUE(Exists(folder + L"\\a.lnk"));
  EXPECT_FALSE(Exists(folder + L"\\a.lnk.lnk"));
  EXPECT_TRUE(Exists(folder + L"\\B.LNK.lnk"));
}

TEST_F(Shortcuts, StartMenuItemWithoutFolderNameLandsInPrograms) {
  ShortCutRecord record = Shortcut(kShortCutStartMenu, name_, "bin\\client.exe");
  engine_.addList.shortCuts = {record};
  engine_.InstallShortcuts(true);
  const std::wstring file = GetProgramsDir() + L"\\\\" + name_ + L".lnk";
  EXPECT_EQ(ReadLink(file).path, Target());
  engine_.deleteList.shortCuts = {record};
  engine_.UninstallShortcuts();
  EXPECT_FALSE(Exists(GetProgramsDir() + L"\\" + name_ + L".lnk"));
  EXPECT_TRUE(Exists(GetProgramsDir())) << "the Programs folder itself stays";
}

TEST_F(Shortcuts, ExcludedAndNamelessRecordsMakeNothing) {
  ShortCutRecord excluded = Shortcut(kShortCutQuickLaunch, name_, "bin\\client.exe");
  excluded.excluded = true;
  ShortCutRecord nameless = Shortcut(kShortCutQuickLaunch, name_, "bin\\client.exe");
  nameless.attributes.erase(NameAttribute());
  nameless.attributes["name_9999"] = Utf8(name_);
  engine_.addList.shortCuts = {excluded, nameless};
  engine_.InstallShortcuts(true);
  EXPECT_FALSE(Exists(GetQuickLaunchPinDir() + L"\\" + name_ + L".lnk"));
  EXPECT_EQ(prompt_.calls, std::vector<std::wstring>{L"P 0 5 "});
}

}  // namespace
