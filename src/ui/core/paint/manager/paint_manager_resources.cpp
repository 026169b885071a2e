#include <cstdlib>
#include <cstring>
#include <cwctype>

#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

// With shared set, the shared value changes and the window's follows when it matched the old one.
void SetColor(DWORD& windowValue, DWORD& sharedValue, DWORD color, bool shared) {
  if (!shared) {
    windowValue = color;
    return;
  }
  if (windowValue == sharedValue) windowValue = color;
  sharedValue = color;
}

}  // namespace

DWORD CPaintManagerUI::GetDefaultDisabledColor() const { return m_ResInfo.dwDefaultDisabledColor; }
DWORD CPaintManagerUI::GetDefaultFontColor() const { return m_ResInfo.dwDefaultFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkFontColor() const { return m_ResInfo.dwDefaultLinkFontColor; }
DWORD CPaintManagerUI::GetDefaultLinkHoverFontColor() const { return m_ResInfo.dwDefaultLinkHoverFontColor; }
DWORD CPaintManagerUI::GetDefaultSelectedBkColor() const { return m_ResInfo.dwDefaultSelectedBkColor; }

void CPaintManagerUI::SetDefaultDisabledColor(DWORD color, bool shared) {
  SetColor(m_ResInfo.dwDefaultDisabledColor, UIGlobals().shared.dwDefaultDisabledColor, color, shared);
}
void CPaintManagerUI::SetDefaultFontColor(DWORD color, bool shared) {
  SetColor(m_ResInfo.dwDefaultFontColor, UIGlobals().shared.dwDefaultFontColor, color, shared);
}
void CPaintManagerUI::SetDefaultLinkFontColor(DWORD color, bool shared) {
  SetColor(m_ResInfo.dwDefaultLinkFontColor, UIGlobals().shared.dwDefaultLinkFontColor, color, shared);
}
void CPaintManagerUI::SetDefaultLinkHoverFontColor(DWORD color, bool shared) {
  SetColor(m_ResInfo.dwDefaultLinkHoverFontColor, UIGlobals().shared.dwDefaultLinkHoverFontColor, color, shared);
}
void CPaintManagerUI::SetDefaultSelectedBkColor(DWORD color, bool shared) {
  SetColor(m_ResInfo.dwDefaultSelectedBkColor, UIGlobals().shared.dwDefaultSelectedBkColor, color, shared);
}

const ImageInfo* CPaintManagerUI::GetImage(const wchar_t* bitmap) {
  if (bitmap == nullptr) return nullptr;
  ImageInfo* info = static_cast<ImageInfo*>(m_ResInfo.m_ImageHash.Find(bitmap));
  if (info == nullptr) info = static_cast<ImageInfo*>(UIGlobals().shared.m_ImageHash.Find(bitmap));
  return info;
}

const ImageInfo* CPaintManagerUI::GetImageEx(const wchar_t* bitmap, const wchar_t* type, DWORD mask, bool useHSL,
                                             HINSTANCE instance) {
  const ImageInfo* info = GetImage(bitmap);
  if (info != nullptr) return info;
  return AddImage(bitmap, type, mask, useHSL, false, instance);
}

const ImageInfo* CPaintManagerUI::AddImage(const wchar_t* bitmap, const wchar_t* type, DWORD mask, bool useHSL,
                                           bool shared, HINSTANCE instance) {
  if (bitmap == nullptr || bitmap[0] == L'\0') return nullptr;
  ImageInfo* info = nullptr;
  if (type != nullptr && type[0] != L'\0') {
    if (!iswdigit(bitmap[0])) return nullptr;
    info = CRenderEngine::LoadImage(STRINGorID(static_cast<UINT>(_wtoi(bitmap))), type, mask, instance);
  } else {
    info = CRenderEngine::LoadImage(STRINGorID(bitmap), nullptr, mask, instance);
  }
  if (info == nullptr) return nullptr;
  info->sResType = type;
  info->dwMask = mask;
  info->bUseHSL = useHSL;
  if (useHSL) {
    // Keep the unadjusted pixels so that colour adjustments start from them.
    size_t bytes = static_cast<size_t>(info->nX) * static_cast<size_t>(info->nY) * 4;
    BITMAP bm = {};
    ::GetObjectW(info->hBitmap, sizeof(bm), &bm);
    info->pSrcBits = new BYTE[bytes];
    info->pBits = new BYTE[bytes];
    if (bm.bmBits != nullptr) {
      memcpy(info->pSrcBits, bm.bmBits, bytes);
      memcpy(info->pBits, bm.bmBits, bytes);
    }
  }
  ResourceInfo& res = ResourcesFor(shared);
  ImageInfo* old = static_cast<ImageInfo*>(res.m_ImageHash.Find(bitmap));
  if (old != nullptr) {
    CRenderEngine::FreeImage(old);
    res.m_ImageHash.Remove(bitmap);
  }
  if (!res.m_ImageHash.Insert(bitmap, info)) {
    CRenderEngine::FreeImage(info);
    return nullptr;
  }
  return info;
}

void CPaintManagerUI::RemoveImage(const wchar_t* bitmap, bool shared) {
  if (bitmap == nullptr) return;
  ResourceInfo& res = ResourcesFor(shared);
  ImageInfo* info = static_cast<ImageInfo*>(res.m_ImageHash.Find(bitmap));
  if (info == nullptr) return;
  CRenderEngine::FreeImage(info);
  res.m_ImageHash.Remove(bitmap);
}

void CPaintManagerUI::RemoveAllImagesIn(ResourceInfo& res) {
  for (int i = 0; i < res.m_ImageHash.GetSize(); ++i) {
    const wchar_t* key = res.m_ImageHash.GetAt(i);
    if (key != nullptr) CRenderEngine::FreeImage(static_cast<ImageInfo*>(res.m_ImageHash.Find(key, false)));
  }
  res.m_ImageHash.RemoveAll();
}

void CPaintManagerUI::RemoveAllImages(bool shared) { RemoveAllImagesIn(ResourcesFor(shared)); }

void CPaintManagerUI::RemoveAllDrawInfos() {
  CUIStringMap& map = m_ResInfo.m_DrawInfoHash;
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) delete static_cast<ImageDrawInfo*>(map.Find(key, false));
  }
  map.RemoveAll();
}

void CPaintManagerUI::RemoveAllStringsIn(CUIStringMap& map) {
  for (int i = 0; i < map.GetSize(); ++i) {
    const wchar_t* key = map.GetAt(i);
    if (key != nullptr) delete static_cast<CUIString*>(map.Find(key, false));
  }
  map.RemoveAll();
}

void CPaintManagerUI::AddDefaultAttributeList(const wchar_t* controlName, const wchar_t* attrList, bool shared) {
  if (controlName == nullptr || attrList == nullptr) return;
  ResourceInfo& res = ResourcesFor(shared);
  CUIString* text = new CUIString(attrList);
  CUIString* old = static_cast<CUIString*>(res.m_AttrHash.Set(controlName, text));
  delete old;
}

const wchar_t* CPaintManagerUI::GetDefaultAttributeList(const wchar_t* controlName) const {
  if (controlName == nullptr) return nullptr;
  CUIString* text = static_cast<CUIString*>(m_ResInfo.m_AttrHash.Find(controlName));
  if (text == nullptr) text = static_cast<CUIString*>(UIGlobals().shared.m_AttrHash.Find(controlName));
  return text != nullptr ? text->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllDefaultAttributeList(bool shared) {
  RemoveAllStringsIn(ResourcesFor(shared).m_AttrHash);
}

void CPaintManagerUI::AddStyle(const wchar_t* name, const wchar_t* style, bool shared) {
  if (name == nullptr || style == nullptr) return;
  CUIString* text = new CUIString(style);
  if (!ResourcesFor(shared).m_StyleHash.Insert(name, text)) delete text;
}

const wchar_t* CPaintManagerUI::GetStyle(const wchar_t* name) const {
  if (name == nullptr) return nullptr;
  CUIString* text = static_cast<CUIString*>(m_ResInfo.m_StyleHash.Find(name));
  if (text == nullptr) text = static_cast<CUIString*>(UIGlobals().shared.m_StyleHash.Find(name));
  return text != nullptr ? text->GetData() : nullptr;
}

void CPaintManagerUI::RemoveAllStyles(bool shared) { RemoveAllStringsIn(ResourcesFor(shared).m_StyleHash); }

}  // namespace SkinUI
