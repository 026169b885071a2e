#include "ui/core/resources/skin_file.h"

#include <memory>

#include "ui/core/base/ui_text.h"

namespace SkinUI {

namespace {

struct FileCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

struct ZipCloser {
  void operator()(ZipHandle* h) const { ZipArchiveClose(h); }
};

SkinFileStatus ReadZipItem(HZIPARCHIVE zip, const wchar_t* name, DWORD maxSize, std::vector<BYTE>& bytes) {
  CUIString itemName(name);
  itemName.Replace(L"\\", L"/");
  int index = -1;
  ZipItemEntry entry;
  if (ZipArchiveFindItem(zip, itemName.GetData(), true, &index, &entry) != ZR_OK)
    return SkinFileStatus::ZipItemNotFound;
  if (entry.unc_size <= 0) return SkinFileStatus::Empty;
  if (maxSize != 0 && static_cast<DWORD>(entry.unc_size) > maxSize) return SkinFileStatus::TooLarge;
  bytes.resize(static_cast<size_t>(entry.unc_size));
  DWORD r = ZipArchiveUnzipItem(zip, index, bytes.data(), static_cast<unsigned int>(bytes.size()));
  if (r != ZR_OK && r != ZR_MORE) {
    bytes.clear();
    return SkinFileStatus::UnzipFailed;
  }
  return SkinFileStatus::Ok;
}

}  // namespace

SkinSource& TheSkinSource() {
  static SkinSource source;
  return source;
}

SkinFileStatus ReadWholeFile(const wchar_t* path, DWORD maxSize, std::vector<BYTE>& bytes) {
  bytes.clear();
  std::unique_ptr<void, FileCloser> file(
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return SkinFileStatus::OpenFailed;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return SkinFileStatus::ReadFailed;
  if (size.QuadPart == 0) return SkinFileStatus::Empty;
  if ((maxSize != 0 && size.QuadPart > maxSize) || size.QuadPart > 0x7FFFFFFF) return SkinFileStatus::TooLarge;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
    bytes.clear();
    return SkinFileStatus::ReadFailed;
  }
  return SkinFileStatus::Ok;
}

SkinFileStatus ReadSkinFile(const wchar_t* name, DWORD maxSize, std::vector<BYTE>& bytes) {
  bytes.clear();
  if (name == nullptr) return SkinFileStatus::OpenFailed;
  const SkinSource& source = TheSkinSource();
  if (source.zip.IsEmpty()) {
    CUIString path(source.resourcePath);
    path += name;
    return ReadWholeFile(path.GetData(), maxSize, bytes);
  }
  if (source.cachedZip) {
    if (source.zipHandle == nullptr) return SkinFileStatus::ZipOpenFailed;
    return ReadZipItem(source.zipHandle, name, maxSize, bytes);
  }
  CUIString zipPath(source.resourcePath);
  zipPath += source.zip;
  std::unique_ptr<char[]> password = WideToAnsi(source.zipPassword.GetData());
  std::unique_ptr<ZipHandle, ZipCloser> zip(ZipArchiveOpen(zipPath.GetData(), password ? password.get() : ""));
  if (!zip) return SkinFileStatus::ZipOpenFailed;
  return ReadZipItem(zip.get(), name, maxSize, bytes);
}

bool ReadSkinResource(HINSTANCE instance, const wchar_t* name, const wchar_t* type, std::vector<BYTE>& bytes) {
  bytes.clear();
  if (instance == nullptr) instance = TheSkinSource().ResourceInstance();
  HRSRC res = FindResourceW(instance, name, type);
  if (res == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, res);
  if (loaded == nullptr) return false;
  DWORD size = SizeofResource(instance, res);
  const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
  if (data == nullptr) return false;
  bytes.assign(data, data + size);
  return true;
}

}  // namespace SkinUI
