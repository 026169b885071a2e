#include <cstring>
#include <memory>

#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/base/ui_text.h"

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

ResourceInfo& CPaintManagerUI::GetSharedResources() { return UIGlobals().shared; }

HINSTANCE CPaintManagerUI::GetInstance() { return TheSkinSource().instance; }
void CPaintManagerUI::SetInstance(HINSTANCE hInst) { TheSkinSource().instance = hInst; }
HINSTANCE CPaintManagerUI::GetResourceInstance() { return TheSkinSource().ResourceInstance(); }

CUIString CPaintManagerUI::GetInstancePath() {
  HINSTANCE instance = TheSkinSource().instance;
  if (instance == nullptr) return CUIString();
  wchar_t path[MAX_PATH + 1] = {0};
  DWORD n = ::GetModuleFileNameW(instance, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return CUIString();
  CUIString full(path);
  int slash = full.ReverseFind(L'\\');
  return slash < 0 ? CUIString() : full.Left(slash + 1);
}

const wchar_t* CPaintManagerUI::GetResourcePath() { return TheSkinSource().resourcePath.GetData(); }

void CPaintManagerUI::SetResourcePath(const wchar_t* path) {
  CUIString& stored = TheSkinSource().resourcePath;
  stored = path;
  if (stored.IsEmpty()) return;
  wchar_t last = stored.GetAt(stored.GetLength() - 1);
  if (last != L'\\' && last != L'/') stored += L'\\';
}

int CPaintManagerUI::GetResourceType() { return TheSkinSource().resourceType; }
void CPaintManagerUI::SetResourceType(int type) { TheSkinSource().resourceType = type; }
const wchar_t* CPaintManagerUI::GetResourceZip() { return TheSkinSource().zip.GetData(); }
HZIPARCHIVE CPaintManagerUI::GetResourceZipHandle() { return TheSkinSource().zipHandle; }
bool CPaintManagerUI::IsCachedResourceZip() { return TheSkinSource().cachedZip; }
const wchar_t* CPaintManagerUI::GetResourceZipPassword() { return TheSkinSource().zipPassword.GetData(); }

void CPaintManagerUI::CloseResourceZip() {
  SkinSource& source = TheSkinSource();
  if (source.zipHandle != nullptr) ZipArchiveClose(source.zipHandle);
  source.zipHandle = nullptr;
}

void CPaintManagerUI::SetResourceZip(const wchar_t* zipName, bool cached, const wchar_t* password) {
  SkinSource& source = TheSkinSource();
  if (source.zip == (zipName ? zipName : L"") && source.cachedZip == cached) return;
  if (source.cachedZip) CloseResourceZip();
  source.zip = zipName;
  source.cachedZip = cached;
  source.zipPassword = password;
  if (!cached) return;
  CUIString path(source.resourcePath);
  path += source.zip;
  std::unique_ptr<char[]> ansi = WideToAnsi(password);
  source.zipHandle = ZipArchiveOpen(path.GetData(), ansi ? ansi.get() : nullptr);
}

void CPaintManagerUI::SetResourceZip(const void* data, unsigned int size, const wchar_t* password) {
  SkinSource& source = TheSkinSource();
  if (source.zip == L"membuffer") return;
  if (source.cachedZip) CloseResourceZip();
  source.zip = L"membuffer";
  source.cachedZip = true;
  source.zipPassword = password;
  std::unique_ptr<char[]> ansi = WideToAnsi(password);
  source.zipHandle = ZipArchiveOpenMemory(data, size, ansi ? ansi.get() : nullptr);
}

bool CPaintManagerUI::GetHSL(short* H, short* S, short* L) {
  const PaintManagerGlobals& g = UIGlobals();
  if (H) *H = g.hue;
  if (S) *S = g.saturation;
  if (L) *L = g.luminance;
  return false;
}

}  // namespace SkinUI
