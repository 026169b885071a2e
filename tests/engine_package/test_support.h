// Helpers of the package tests: temporary folders, files, setup programs made through the
// maker, and a small writer of the package format of the tests' own (to craft damaged or
// hostile packages the maker refuses to make).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/parser/component_records.h"

using Bytes = std::vector<uint8_t>;

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

Bytes ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const Bytes& bytes);  // creates missing folders
void WriteText(const std::wstring& path, const std::string& text);
bool FileExists(const std::wstring& path);
Bytes TextBytes(const std::string& text);
Bytes RandomBytes(size_t size, uint32_t seed);
uint32_t Get32At(const Bytes& bytes, uint64_t offset);
void Put32At(Bytes* bytes, uint64_t offset, uint32_t value);

// File records with "path" and, when given, "newpath".
std::vector<FileRecord> Records(const std::vector<std::pair<std::string, std::string>>& paths);

// A stand-in setup image: "MZ", zero locator words, some bytes.
Bytes FakeImage(size_t size = 4096);
// The test's own setup image program, pkgprobe.exe.
std::wstring ProbeImagePath();

// Makes a setup program with the maker: image, then one package per list of records
// relative to source. 0 or the first failing maker result.
int MakeSetup(const std::wstring& out, const std::wstring& image, const std::wstring& source,
              const std::vector<std::vector<FileRecord>>& packages);

// The test's own package writer: each item a zip archive (any bytes) with its file size.
struct RawItem {
  Bytes zip;
  uint32_t fileSize = 0;
};
Bytes BuildRawPackage(const std::vector<RawItem>& items, const std::vector<std::wstring>& names);
// A one-entry zip archive made with the zip writer, under any name.
Bytes ZipOf(const std::string& entryName, const Bytes& content);
// Image followed by the packages, the locator pointing at the first.
Bytes SetupOf(const Bytes& image, const std::vector<Bytes>& packages);
// Recomputes the three digests of the package whose head is at headOffset, as a maker
// of a hostile package would.
void Reseal(Bytes* setup, uint64_t headOffset);

// Starts the logger (logger 0) writing into folder, nothing on the console.
bool StartLogIn(const std::wstring& folder);
// Stops the logger once everything is written and gives what its files in folder hold.
std::string StopLogAndRead(const std::wstring& folder);

// Runs a program and waits at most timeoutMs: its exit code, or -1 when it did not start or end.
int RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 120000);
// key=value lines of a report file.
std::string ReportValue(const std::wstring& path, const std::string& key);

// A mixed set of source files: text, incompressible bytes, a stored archive suffix, an
// empty file, nested folders and Chinese names. Paths are UTF-8 with "\".
struct SourceFile {
  std::string path;
  Bytes content;
};
std::vector<SourceFile> MixedFiles();
// The files of a valid setup package: "_setup.ini", the product description and the setup file list.
std::vector<SourceFile> SetupPackageFiles();
void WriteSources(const std::wstring& folder, const std::vector<SourceFile>& files);
std::vector<FileRecord> RecordsOf(const std::vector<SourceFile>& files);
// A setup program of the fake image with package #0 of MixedFiles and package #1 of
// SetupPackageFiles, made by the maker in folder; returns its path.
std::wstring MakeMixedSetup(const TempDir& folder, const std::wstring& image = L"");
// UTF-16LE bytes with a byte-order mark: the profile functions read such a "_setup.ini"
// (without the mark they take the file for ANSI text and find no key).
Bytes Utf16Bytes(const std::wstring& text);
