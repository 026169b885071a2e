#include <cstring>
#include <cwchar>
#include <vector>

#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/resources/skin_file.h"

namespace SkinUI {

ResourceInfo& CPaintManagerUI::ResourcesFor(bool shared) {
  return (shared || m_bForceUseSharedRes) ? UIGlobals().shared : m_ResInfo;
}

void CPaintManagerUI::DeleteFontInfo(FontInfo* info) {
  if (info->hFont != nullptr) ::DeleteObject(info->hFont);
  info->hFont = nullptr;
  info->sFontName.Empty();
  memset(&info->tm, 0, sizeof(info->tm));
}

void CPaintManagerUI::MeasureFont(FontInfo* info) {
  if (info->tm.tmHeight != 0 || m_hDcPaint == nullptr || info->hFont == nullptr) return;
  HFONT old = static_cast<HFONT>(::SelectObject(m_hDcPaint, info->hFont));
  ::GetTextMetricsW(m_hDcPaint, &info->tm);
  ::SelectObject(m_hDcPaint, old);
}

// Builds a font from the default GUI font's record with the given face, size and style.
static HFONT CreateSkinFont(CPaintManagerUI* manager, const wchar_t* name, int size, bool bold, bool underline,
                            bool italic) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &lf);
  if (name != nullptr && name[0] != L'\0') {
    wcsncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  }
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -manager->GetDPIObject()->Scale(size);
  if (bold) lf.lfWeight = FW_BOLD;
  if (underline) lf.lfUnderline = TRUE;
  if (italic) lf.lfItalic = TRUE;
  return ::CreateFontIndirectW(&lf);
}

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* name, int size, bool bold, bool underline, bool italic,
                               bool shared) {
  HFONT font = CreateSkinFont(this, name, size, bold, underline, italic);
  if (font == nullptr) return nullptr;
  FontInfo* info = new FontInfo();
  info->hFont = font;
  info->sFontName = name;
  info->iSize = size;
  info->bBold = bold;
  info->bUnderline = underline;
  info->bItalic = italic;
  memset(&info->tm, 0, sizeof(info->tm));
  MeasureFont(info);
  CUIString key;
  key.SmallFormat(L"%d", id);
  ResourceInfo& res = ResourcesFor(shared);
  FontInfo* old = static_cast<FontInfo*>(res.m_CustomFonts.Find(key.GetData()));
  if (old != nullptr) {
    DeleteFontInfo(old);
    delete old;
    res.m_CustomFonts.Remove(key.GetData());
  }
  if (!res.m_CustomFonts.Insert(key.GetData(), info)) {
    DeleteFontInfo(info);
    delete info;
    return nullptr;
  }
  return font;
}

HFONT CPaintManagerUI::GetFont(int id) { return GetFontInfo(id)->hFont; }

FontInfo* CPaintManagerUI::GetFontInfo(int id) {
  FontInfo* info = nullptr;
  if (id >= 0) {
    CUIString key;
    key.SmallFormat(L"%d", id);
    info = static_cast<FontInfo*>(m_ResInfo.m_CustomFonts.Find(key.GetData()));
    if (info == nullptr) info = static_cast<FontInfo*>(UIGlobals().shared.m_CustomFonts.Find(key.GetData()));
  }
  if (info == nullptr) return GetDefaultFontInfo();
  MeasureFont(info);
  return info;
}

static FontInfo* FindFontIn(CUIStringMap& map, const wchar_t* name, int size, bool bold, bool underline, bool italic) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    FontInfo* info = key ? static_cast<FontInfo*>(map.Find(key, false)) : nullptr;
    if (info != nullptr && info->sFontName == name && info->iSize == size && info->bBold == bold &&
        info->bUnderline == underline && info->bItalic == italic) {
      return info;
    }
  }
  return nullptr;
}

static FontInfo* FindFontIn(CUIStringMap& map, HFONT font) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    FontInfo* info = key ? static_cast<FontInfo*>(map.Find(key, false)) : nullptr;
    if (info != nullptr && info->hFont == font) return info;
  }
  return nullptr;
}

HFONT CPaintManagerUI::GetFont(const wchar_t* name, int size, bool bold, bool underline, bool italic) {
  if (name == nullptr) return nullptr;
  FontInfo* info = FindFontIn(m_ResInfo.m_CustomFonts, name, size, bold, underline, italic);
  if (info == nullptr) info = FindFontIn(UIGlobals().shared.m_CustomFonts, name, size, bold, underline, italic);
  return info != nullptr ? info->hFont : nullptr;
}

FontInfo* CPaintManagerUI::GetFontInfo(HFONT hFont) {
  FontInfo* info = FindFontIn(m_ResInfo.m_CustomFonts, hFont);
  if (info == nullptr) info = FindFontIn(UIGlobals().shared.m_CustomFonts, hFont);
  if (info == nullptr) return GetDefaultFontInfo();
  MeasureFont(info);
  return info;
}

FontInfo* CPaintManagerUI::GetDefaultFontInfo() {
  FontInfo* info =
      m_ResInfo.DefaultFontInfo.sFontName.IsEmpty() ? &UIGlobals().shared.DefaultFontInfo : &m_ResInfo.DefaultFontInfo;
  MeasureFont(info);
  return info;
}

void CPaintManagerUI::SetDefaultFont(const wchar_t* name, int size, bool bold, bool underline, bool italic,
                                     bool shared) {
  HFONT font = CreateSkinFont(this, name, size, bold, underline, italic);
  if (font == nullptr) return;
  FontInfo& info = shared ? UIGlobals().shared.DefaultFontInfo : m_ResInfo.DefaultFontInfo;
  if (info.hFont != nullptr) ::DeleteObject(info.hFont);
  info.hFont = font;
  // A font without a face takes the system's: the face it got is kept, an empty one would read
  // as no default font at all.
  LOGFONTW made = {};
  ::GetObjectW(font, sizeof(made), &made);
  info.sFontName = name != nullptr && name[0] != L'\0' ? name : made.lfFaceName;
  info.iSize = size;
  info.bBold = bold;
  info.bUnderline = underline;
  info.bItalic = italic;
  memset(&info.tm, 0, sizeof(info.tm));
  MeasureFont(&info);
}

void CPaintManagerUI::RemoveAllFontsIn(ResourceInfo& res) {
  for (int i = 0; i < res.m_CustomFonts.GetSize(); ++i) {
    const wchar_t* key = res.m_CustomFonts.GetAt(i);
    FontInfo* info = key ? static_cast<FontInfo*>(res.m_CustomFonts.Find(key, false)) : nullptr;
    if (info == nullptr) continue;
    DeleteFontInfo(info);
    delete info;
  }
  res.m_CustomFonts.RemoveAll();
}

void CPaintManagerUI::RemoveAllFonts(bool shared) { RemoveAllFontsIn(shared ? UIGlobals().shared : m_ResInfo); }

void CPaintManagerUI::AddFontFile(const wchar_t* file) {
  if (file == nullptr) return;
  std::vector<BYTE> bytes;
  if (ReadSkinFile(file, 0, bytes) != SkinFileStatus::Ok) ReadWholeFile(file, 0, bytes);
  if (bytes.empty()) return;
  DWORD fonts = 0;
  HANDLE handle = ::AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &fonts);
  if (handle != nullptr) m_aFonts.Add(handle);
}

}  // namespace SkinUI
