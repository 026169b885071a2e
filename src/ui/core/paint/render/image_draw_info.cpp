#include <cstdlib>
#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

bool IsBlank(wchar_t ch) { return ch != L'\0' && ch <= L' '; }

RECT ReadRect(const wchar_t* value) {
  long v[4];
  ReadNumberList(value, v, 4);
  return RECT{v[0], v[1], v[2], v[3]};
}

bool IsTrue(const CUIString& value) { return value.CompareNoCase(L"true") == 0; }

void ApplyPair(ImageDrawInfo& info, const CUIString& key, const CUIString& value, CPaintManagerUI* manager) {
  auto scaled = [manager](RECT rc) {
    if (manager != nullptr) manager->GetDPIObject()->Scale(&rc);
    return rc;
  };
  if (key == L"file" || key == L"res") {
    info.sImageName = value;
  } else if (key == L"restype") {
    info.sResType = value;
  } else if (key == L"dest") {
    info.rcDest = scaled(ReadRect(value.GetData()));
  } else if (key == L"source") {
    info.rcSource = scaled(ReadRect(value.GetData()));
  } else if (key == L"corner") {
    info.rcCorner = scaled(ReadRect(value.GetData()));
  } else if (key == L"mask") {
    const wchar_t* p = value.GetData();
    if (*p == L'#') ++p;
    info.dwMask = static_cast<DWORD>(wcstoul(p, nullptr, 16));
  } else if (key == L"fade") {
    info.uFade = static_cast<BYTE>(wcstoul(value.GetData(), nullptr, 10));
  } else if (key == L"hole") {
    info.bHole = IsTrue(value);
  } else if (key == L"xtiled") {
    info.bTiledX = IsTrue(value);
  } else if (key == L"ytiled") {
    info.bTiledY = IsTrue(value);
  } else if (key == L"hsl") {
    info.bHSL = IsTrue(value);
  }
}

// Applies key='value' pairs until the text ends or a pair is malformed.
void ParsePairs(ImageDrawInfo& info, const wchar_t* text, CPaintManagerUI* manager) {
  const wchar_t* p = text;
  for (;;) {
    while (IsBlank(*p)) ++p;
    const wchar_t* keyStart = p;
    while (*p != L'\0' && *p != L'=' && !IsBlank(*p)) ++p;
    CUIString key(keyStart, static_cast<int>(p - keyStart));
    while (IsBlank(*p)) ++p;
    if (*p++ != L'=') return;
    while (IsBlank(*p)) ++p;
    if (*p++ != L'\'') return;
    const wchar_t* valueStart = p;
    while (*p != L'\0' && *p != L'\'') ++p;
    if (*p != L'\'') return;
    CUIString value(valueStart, static_cast<int>(p - valueStart));
    ++p;
    if (!value.IsEmpty()) ApplyPair(info, key, value, manager);
    if (*p != L' ') return;
  }
}

}  // namespace

void ImageDrawInfo::Clear() {
  sDrawString.Empty();
  sDrawModify.Empty();
  sImageName.Empty();
  sResType.Empty();
  rcDest = rcSource = rcCorner = RECT{0, 0, 0, 0};
  dwMask = 0;
  uFade = 255;
  bHole = bTiledX = bTiledY = bHSL = false;
}

void ImageDrawInfo::Parse(const wchar_t* pStrImage, const wchar_t* pStrModify, CPaintManagerUI* pManager) {
  sDrawString = pStrImage;
  sDrawModify = pStrModify;
  sImageName = pStrImage;
  if (!sDrawString.IsEmpty()) ParsePairs(*this, sDrawString.GetData(), pManager);
  if (!sDrawModify.IsEmpty()) ParsePairs(*this, sDrawModify.GetData(), pManager);
  if (pManager == nullptr) return;
  int scale = pManager->GetDPIObject()->GetScale();
  if (scale == 100) return;
  CUIString dot;
  dot.SmallFormat(L"@%d.", scale);
  sImageName.Replace(L".", dot.GetData());
}

const ImageDrawInfo* CPaintManagerUI::GetDrawInfo(const wchar_t* pStrImage, const wchar_t* pStrModify) {
  CUIString key(pStrImage);
  key += pStrModify;
  if (key.IsEmpty()) return nullptr;
  ImageDrawInfo* info = static_cast<ImageDrawInfo*>(m_ResInfo.m_DrawInfoHash.Find(key.GetData()));
  if (info != nullptr) return info;
  info = new ImageDrawInfo();
  info->Parse(pStrImage, pStrModify, this);
  if (!m_ResInfo.m_DrawInfoHash.Insert(key.GetData(), info)) {
    delete info;
    return nullptr;
  }
  return info;
}

}  // namespace SkinUI
