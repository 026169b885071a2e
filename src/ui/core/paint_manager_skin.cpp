#include <cstring>
#include <memory>

#include "ui/core/paint_manager_globals.h"
#include "ui/core/ui_text.h"

namespace SkinUI {

PaintManagerGlobals::PaintManagerGlobals() {
  shared.dwDefaultDisabledColor = 0xFFA7A6AA;
  shared.dwDefaultFontColor = 0xFF000000;
  shared.dwDefaultLinkFontColor = 0xFF0000FF;
  shared.dwDefaultLinkHoverFontColor = 0xFFD3215F;
  shared.dwDefaultSelectedBkColor = 0xFFBAE4FF;
  shared.DefaultFontInfo.hFont = nullptr;
  shared.DefaultFontInfo.iSize = 0;
  shared.DefaultFontInfo.bBold = shared.DefaultFontInfo.bUnderline = shared.DefaultFontInfo.bItalic = false;
  memset(&shared.DefaultFontInfo.tm, 0, sizeof(shared.DefaultFontInfo.tm));
}

PaintManagerGlobals& UIGlobals() {
  static PaintManagerGlobals globals;
  return globals;
}

PFN_UpdateLayeredWindow LookUpUpdateLayeredWindow() {
  static PFN_UpdateLayeredWindow fn = reinterpret_cast<PFN_UpdateLayeredWindow>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  return fn;
}

PFN_SetLayeredWindowAttributes LookUpSetLayeredWindowAttributes() {
  static PFN_SetLayeredWindowAttributes fn = reinterpret_cast<PFN_SetLayeredWindowAttributes>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  return fn;
}

ResourceInfo& CPaintManagerUI::GetSharedResources() { return UIGlobals().shared; }

HINSTANCE CPaintManagerUI::GetInstance() { return UIGlobals().instance; }
void CPaintManagerUI::SetInstance(HINSTANCE hInst) { UIGlobals().instance = hInst; }

HINSTANCE CPaintManagerUI::GetResourceInstance() {
  PaintManagerGlobals& g = UIGlobals();
  return g.resourceInstance != nullptr ? g.resourceInstance : g.instance;
}

CUIString CPaintManagerUI::GetInstancePath() {
  if (UIGlobals().instance == nullptr) return CUIString();
  wchar_t path[MAX_PATH + 1] = {0};
  DWORD n = ::GetModuleFileNameW(UIGlobals().instance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return CUIString();
  CUIString full(path);
  int slash = full.ReverseFind(L'\\');
  return slash < 0 ? CUIString() : full.Left(slash + 1);
}

const wchar_t* CPaintManagerUI::GetResourcePath() { return UIGlobals().resourcePath.GetData(); }

void CPaintManagerUI::SetResourcePath(const wchar_t* path) {
  CUIString& stored = UIGlobals().resourcePath;
  stored = path;
  if (stored.IsEmpty()) return;
  wchar_t last = stored.GetAt(stored.GetLength() - 1);
  if (last != L'\\' && last != L'/') stored += L'\\';
}

int CPaintManagerUI::GetResourceType() { return UIGlobals().resourceType; }
void CPaintManagerUI::SetResourceType(int type) { UIGlobals().resourceType = type; }
const wchar_t* CPaintManagerUI::GetResourceZip() { return UIGlobals().resourceZip.GetData(); }
HZIPARCHIVE CPaintManagerUI::GetResourceZipHandle() { return UIGlobals().resourceZipHandle; }
bool CPaintManagerUI::IsCachedResourceZip() { return UIGlobals().cachedResourceZip; }
const wchar_t* CPaintManagerUI::GetResourceZipPassword() { return UIGlobals().resourceZipPassword.GetData(); }

void CPaintManagerUI::CloseResourceZip() {
  PaintManagerGlobals& g = UIGlobals();
  if (g.resourceZipHandle != nullptr) ZipArchiveClose(g.resourceZipHandle);
  g.resourceZipHandle = nullptr;
}

void CPaintManagerUI::SetResourceZip(const wchar_t* zipName, bool cached, const wchar_t* password) {
  PaintManagerGlobals& g = UIGlobals();
  if (g.resourceZip == (zipName ? zipName : L"") && g.cachedResourceZip == cached) return;
  if (g.cachedResourceZip) CloseResourceZip();
  g.resourceZip = zipName;
  g.cachedResourceZip = cached;
  g.resourceZipPassword = password;
  if (!cached) return;
  CUIString path(g.resourcePath);
  path += g.resourceZip;
  std::unique_ptr<char[]> ansi = WideToAnsi(password);
  g.resourceZipHandle = ZipArchiveOpen(path.GetData(), ansi ? ansi.get() : nullptr);
}

void CPaintManagerUI::SetResourceZip(const void* data, unsigned int size, const wchar_t* password) {
  PaintManagerGlobals& g = UIGlobals();
  if (g.resourceZip == L"membuffer") return;
  if (g.cachedResourceZip) CloseResourceZip();
  g.resourceZip = L"membuffer";
  g.cachedResourceZip = true;
  g.resourceZipPassword = password;
  std::unique_ptr<char[]> ansi = WideToAnsi(password);
  g.resourceZipHandle = ZipArchiveOpenMemory(data, size, ansi ? ansi.get() : nullptr);
}

bool CPaintManagerUI::GetHSL(short* H, short* S, short* L) {
  const PaintManagerGlobals& g = UIGlobals();
  if (H) *H = g.hue;
  if (S) *S = g.saturation;
  if (L) *L = g.luminance;
  return false;
}

}  // namespace SkinUI
