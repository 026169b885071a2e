#include "zqpm_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zqtest {

namespace {
std::wstring TestFolderName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test ? std::string(test->name()) : std::string("zq");
  return L"zq " + Wide(name) + L" \u6e38\u620f " + std::to_wstring(GetCurrentProcessId());
}
}  // namespace

TempFolder::TempFolder() : testsupport::TempFolder(testsupport::TempRoot() + L"\\" + TestFolderName()) {}

namespace {
void CollectFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW found;
  const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CollectFiles(root, path, out);
    } else {
      out.push_back(path);
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
}
}  // namespace

std::vector<std::wstring> ListFiles(const std::wstring& folder) {
  std::vector<std::wstring> files;
  CollectFiles(folder, L"", files);
  std::sort(files.begin(), files.end());
  return files;
}

std::wstring ReadValue32(HKEY root, const std::wstring& subkey, const std::wstring& name) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!testsupport::ReadRegValue(root, subkey, name, &type, &data, KEY_WOW64_32KEY)) return L"<missing>";
  data.resize(data.size() + sizeof(wchar_t), 0);
  if (type == REG_DWORD) return std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
  if (type == REG_SZ) return reinterpret_cast<const wchar_t*>(data.data());
  return L"<type " + std::to_wstring(type) + L">";
}

void RecordingPrompt::Add(const std::string& line) {
  Note(line);
  if (onEvent) onEvent(line);
}

void RecordingPrompt::Note(const std::string& line) {
  std::lock_guard<std::mutex> guard(lock_);
  events_.push_back(line);
}

std::vector<std::string> RecordingPrompt::Events() {
  std::lock_guard<std::mutex> guard(lock_);
  return events_;
}

void RecordingPrompt::OnProgress(int step, int delta, std::wstring detail) {
  Add("P " + std::to_string(step) + " " + std::to_string(delta) + " " + Utf8(detail));
}

void RecordingPrompt::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  Add("X " + std::to_string(step) + " " + std::to_string(done) + "/" + std::to_string(total) + " " +
      std::to_string(parts) + " " + Utf8(detail));
}

void RecordingPrompt::OnFinish(const char* text, int code) {
  Add(std::string("F ") + (text ? "text" : "null") + " " + std::to_string(code));
}

void RecordingPrompt::NotifyUpdateWnd(std::string reply) { Add("N " + reply); }

void RecordingPrompt::OnMessage(std::wstring message, int code) {
  Add("M " + Utf8(message) + " " + std::to_string(code));
}

void RecordingPrompt::OnMessageA(std::string message, int code) { Add("A " + message); }

}  // namespace zqtest
