#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/core/resources/markup.h"
#include "ui/core/resources/skin_file.h"

namespace SkinUI {

namespace {

const DWORD kMaxLayoutBytes = 0x400000;

const wchar_t* MessageFor(SkinFileStatus status) {
  switch (status) {
    case SkinFileStatus::OpenFailed:
      return L"Error opening file";
    case SkinFileStatus::Empty:
      return L"File is empty";
    case SkinFileStatus::TooLarge:
      return L"File too large";
    case SkinFileStatus::ReadFailed:
      return L"Could not read file";
    case SkinFileStatus::ZipOpenFailed:
      return L"Error opening zip file";
    case SkinFileStatus::ZipItemNotFound:
      return L"Could not find ziped file";
    case SkinFileStatus::UnzipFailed:
      return L"Could not unzip file";
    case SkinFileStatus::Ok:
      break;
  }
  return L"";
}

wchar_t* AllocateText(size_t units) {
  wchar_t* text = static_cast<wchar_t*>(malloc((units + 1) * sizeof(wchar_t)));
  if (text != nullptr) text[units] = L'\0';
  return text;
}

wchar_t* ConvertMultiByte(UINT codePage, const BYTE* data, DWORD size) {
  int units = size == 0 ? 0
                        : MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(data), static_cast<int>(size),
                                              nullptr, 0);
  if (units < 0) units = 0;
  wchar_t* text = AllocateText(static_cast<size_t>(units));
  if (text != nullptr && units > 0) {
    MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(data), static_cast<int>(size), text, units);
  }
  return text;
}

// UTF-16 with a byte-order mark; text without one is read as little-endian.
wchar_t* ConvertUtf16(const BYTE* data, DWORD size) {
  bool bigEndian = false;
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
    data += 2;
    size -= 2;
  } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
    bigEndian = true;
    data += 2;
    size -= 2;
  }
  size_t units = size / 2;
  wchar_t* text = AllocateText(units);
  if (text == nullptr) return nullptr;
  for (size_t i = 0; i < units; ++i) {
    BYTE lo = bigEndian ? data[2 * i + 1] : data[2 * i];
    BYTE hi = bigEndian ? data[2 * i] : data[2 * i + 1];
    text[i] = static_cast<wchar_t>(lo | (hi << 8));
  }
  return text;
}

}  // namespace

bool CMarkup::LoadFromMem(const BYTE* data, DWORD size, int encoding) {
  Release();
  if (data == nullptr && size != 0) return Fail(L"Could not read file", L"");
  wchar_t* text = nullptr;
  if (encoding == XMLFILE_ENCODING_UTF8) {
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
      data += 3;
      size -= 3;
    }
    text = ConvertMultiByte(CP_UTF8, data, size);
  } else if (encoding == XMLFILE_ENCODING_ASNI) {
    text = ConvertMultiByte(CP_ACP, data, size);
  } else {
    text = ConvertUtf16(data, size);
  }
  if (text == nullptr) return Fail(L"File too large", L"");
  return TakeText(text);
}

bool CMarkup::LoadFromFile(const wchar_t* name, int encoding) {
  Release();
  std::vector<BYTE> bytes;
  SkinFileStatus status = ReadSkinFile(name, kMaxLayoutBytes, bytes);
  if (status != SkinFileStatus::Ok) return Fail(MessageFor(status), L"");
  return LoadFromMem(bytes.data(), static_cast<DWORD>(bytes.size()), encoding);
}

}  // namespace SkinUI
