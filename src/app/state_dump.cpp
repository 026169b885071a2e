#include "app/state_dump.h"

// clang-format off
#include <objidl.h>
#include <gdiplus.h>
// clang-format on
#include <commctrl.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "common/sys/text_convert.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/controls/option.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/controls/progress.h"

namespace {

std::wstring DumpFolder() {
  wchar_t folder[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"TAMSEL_UI_STATE_DUMP", folder, MAX_PATH);
  return (n == 0 || n >= MAX_PATH) ? std::wstring() : std::wstring(folder);
}

UINT DumpMessage() {
  static const UINT message = DumpFolder().empty() ? 0 : RegisterWindowMessageW(L"TamselUiStateDump");
  return message;
}

bool Shown(SkinUI::CControlUI* control) {
  for (; control != nullptr; control = control->GetParent()) {
    if (!control->IsVisible()) return false;
  }
  return true;
}

nlohmann::json Describe(SkinUI::CControlUI* control) {
  const RECT& pos = control->GetPos();
  nlohmann::json item = {
      {"name", WideToUtf8(control->GetName().GetData())},
      {"class", WideToUtf8(control->GetClass())},
      {"visible", control->IsVisible()},
      {"shown", Shown(control)},
      {"enabled", control->IsEnabled()},
      {"text", WideToUtf8(control->GetText().GetData())},
      {"pos", {pos.left, pos.top, pos.right, pos.bottom}},
  };
  if (auto* progress = static_cast<SkinUI::CProgressUI*>(control->GetInterface(L"Progress"))) {
    item["value"] = progress->GetValue();
  }
  if (auto* option = static_cast<SkinUI::COptionUI*>(control->GetInterface(L"Option"))) {
    item["selected"] = option->IsSelected();
  }
  return item;
}

void Collect(SkinUI::CControlUI* control, nlohmann::json& out) {
  if (control == nullptr) return;
  if (!control->GetName().IsEmpty()) out.push_back(Describe(control));
  auto* container = static_cast<SkinUI::IContainerUI*>(control->GetInterface(L"IContainer"));
  if (container == nullptr) return;
  for (int i = 0; i < container->GetCount(); ++i) Collect(container->GetItemAt(i), out);
}

// The file of the common controls that the loader bound the program's imports to: with the
// program's manifest in force, the side-by-side assembly of version 6, not the system folder's.
std::string CommonControlsFile() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&InitCommonControls), &module)) {
    return std::string();
  }
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  return n < MAX_PATH ? WideToUtf8(std::wstring(path, n)) : std::string();
}

bool WriteWhole(const std::wstring& path, const std::string& text) {
  const std::wstring temp = path + L".tmp";
  FILE* file = _wfopen(temp.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
  fclose(file);
  // The reader polls for the file: it must appear whole. While the reader has the old one open
  // it cannot be replaced: try again for a while.
  for (int attempt = 0; written && attempt < 100; ++attempt) {
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    Sleep(10);
  }
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace

bool SaveWindowPicture(SkinUI::CPaintManagerUI& pm, const std::wstring& path) {
  RECT client;
  GetClientRect(pm.GetPaintWindow(), &client);
  LPDWORD bits = pm.GetOffscreenBits();
  if (bits == nullptr || client.right <= 0 || client.bottom <= 0) return false;
  const INT stride = client.right * 4;
  // The offscreen rows run bottom-up.
  BYTE* top = reinterpret_cast<BYTE*>(bits) + static_cast<size_t>(client.bottom - 1) * stride;
  Gdiplus::GpBitmap* image = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(client.right, client.bottom, -stride, PixelFormat32bppRGB, top,
                                                     &image) != Gdiplus::Ok) {
    return false;
  }
  const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  const bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
  Gdiplus::DllExports::GdipDisposeImage(image);
  return saved;
}

bool HandleStateDump(SkinUI::CPaintManagerUI& pm, const wchar_t* windowClass, UINT msg, WPARAM seq,
                     LPARAM withPicture) {
  const UINT request = DumpMessage();
  if (request == 0 || msg != request) return false;
  const std::wstring base = DumpFolder() + L"\\" + windowClass;
  const bool pictured = withPicture != 0 && SaveWindowPicture(pm, base + L".png");
  nlohmann::json controls = nlohmann::json::array();
  Collect(pm.GetRoot(), controls);
  nlohmann::json dump = {{"seq", static_cast<unsigned>(seq)},
                         {"picture", pictured},
                         {"commonControls", CommonControlsFile()},
                         {"controls", controls}};
  WriteWhole(base + L".json", dump.dump());
  return true;
}
