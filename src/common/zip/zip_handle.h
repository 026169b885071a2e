// The handle shared by the zip writer and reader: its kind tells which container it holds.
#pragma once

#include <memory>

class ZipReader;
class ZipWriter;

enum class ZipHandleKind : int { Reader = 1, Writer = 2 };

struct ZipHandle {
  ZipHandleKind kind;
  ZipReader* reader;  // set for kind Reader
  ZipWriter* writer;  // set for kind Writer
};

// Closes either kind: a reader handle goes to ZipReader::Close, a null or writer handle
// to ZipWriter::Close. Returns that close's code.
int CloseZip(ZipHandle* handle);

struct ZipHandleCloser {
  void operator()(ZipHandle* handle) const { CloseZip(handle); }
};
using UniqueZipHandle = std::unique_ptr<ZipHandle, ZipHandleCloser>;
