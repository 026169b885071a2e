#include "common/zip/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cctype>

#include "common/log/vlog.h"
#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_time.h"

using namespace zipfmt;

namespace {

std::atomic<int> g_lastWriterCode{kZipOk};

int Keep(int code) {
  g_lastWriterCode = code;
  return code;
}

constexpr uint32_t kMinimumArea = 4096;  // room for the headers of a small or empty entry
constexpr int kDeflateLevel = 8;
constexpr uint32_t kChunk = 16384;
constexpr size_t kMaxEntries = 0xFFFF;  // the end record counts entries in 16 bits

// Archives inside the archive are stored: compressing them again gains nothing.
bool IsStoredSuffix(const std::string& name) {
  static const char* const kStored[] = {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string suffix = name.substr(dot);
  for (const char* stored : kStored) {
    const std::string s(stored);
    if (s.size() == suffix.size() && std::equal(s.begin(), s.end(), suffix.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        })) {
      return true;
    }
  }
  return false;
}

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

int ZipWriter::LastCode() { return g_lastWriterCode; }

ZipHandle* ZipWriter::Create(uint32_t sizeHint) {
  const uint64_t doubled = static_cast<uint64_t>(sizeHint) * 2;
  const uint32_t capacity =
      static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(doubled, kMinimumArea), UINT32_MAX));
  std::unique_ptr<ZipWriter> writer(new ZipWriter());
  if (!writer->output_.Create(capacity)) {
    Keep(kZipNoMemory);
    return nullptr;
  }
  Keep(kZipOk);
  return new ZipHandle{ZipHandleKind::Writer, nullptr, writer.release()};
}

int ZipWriter::Check(ZipHandle* handle, const char* operation) {
  if (handle == nullptr) {
    VLOG_ERROR("%s, null handle", operation);
    return kZipBadArgument;
  }
  if (handle->kind != ZipHandleKind::Writer) {
    VLOG_ERROR("%s, handle is not a writer", operation);
    return kZipWrongKind;
  }
  return kZipOk;
}

int ZipWriter::Add(ZipHandle* handle, const std::string& name, const void* bytes, uint32_t length) {
  const int code = Check(handle, "ZipWriter::Add");
  if (code != kZipOk) return Keep(code);
  return Keep(handle->writer->AddEntry(name, static_cast<const uint8_t*>(bytes), length));
}

int ZipWriter::AddEntry(const std::string& rawName, const uint8_t* bytes, uint32_t length) {
  if (stickyError_ != 0) {
    VLOG_ERROR("ZipWriter::Add, earlier error %d, %s refused", stickyError_, rawName.c_str());
    return kZipEarlierError;
  }
  if (finished_) {
    VLOG_ERROR("ZipWriter::Add, archive finished, %s refused", rawName.c_str());
    return kZipFinished;
  }
  if (rawName.empty() || rawName.size() > 0xFFFF || (bytes == nullptr && length > 0) ||
      entries_.size() >= kMaxEntries) {
    VLOG_ERROR("ZipWriter::Add, bad argument, name \"%s\", length %u, entries %u", rawName.c_str(), length,
               static_cast<unsigned>(entries_.size()));
    return kZipBadArgument;
  }
  ZipWrittenEntry entry;
  entry.name = rawName;
  std::replace(entry.name.begin(), entry.name.end(), '\\', '/');
  entry.method = IsStoredSuffix(entry.name) ? kMethodStored : kMethodDeflated;
  const ZipEntryTime now = CurrentZipEntryTime();
  entry.dosDateTime = now.dosDateTime;
  entry.unixTime = now.unixTime;
  // Sizes follow the data; other tools decode the name as UTF-8 only with this flag.
  entry.flag = kFlagDataDescriptor | (IsAscii(entry.name) ? 0 : kFlagUtf8Name);
  entry.compressedSize = entry.method == kMethodStored ? length : 0;
  entry.uncompressedSize = length;
  entry.localHeaderOffset = output_.Size();

  const std::vector<uint8_t> header = LocalHeaderBytes(entry);
  if (!output_.Write(header.data(), static_cast<uint32_t>(header.size()))) return kZipWriteFailed;
  const uint32_t dataStart = output_.Size();
  if (entry.method == kMethodDeflated) {
    const int code = WriteDeflated(&entry, bytes, length);
    if (code != kZipOk) return code;
  } else if (!output_.Write(bytes, length)) {
    return kZipWriteFailed;
  }
  entry.crc32 = crc32(crc32(0, nullptr, 0), bytes, length);
  entry.compressedSize = output_.Size() - dataStart;
  if (!(entry.flag & kFlagEncrypted)) entry.flag &= ~kFlagDataDescriptor;

  const std::vector<uint8_t> final = LocalHeaderBytes(entry);
  if (!output_.Rewrite(entry.localHeaderOffset, final.data(), static_cast<uint32_t>(final.size()))) {
    VLOG_ERROR("ZipWriter::Add, local header of %s at %u outside the area", entry.name.c_str(),
               entry.localHeaderOffset);
    stickyError_ = kZipBadAreaSize;
    return kZipRewriteFailed;
  }
  entries_.push_back(std::move(entry));
  return kZipOk;
}

int ZipWriter::WriteDeflated(ZipWrittenEntry* entry, const uint8_t* bytes, uint32_t length) {
  z_stream zs{};
  // Negative window bits: raw DEFLATE, as zip entries carry it.
  if (deflateInit2(&zs, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    VLOG_ERROR("ZipWriter::Add, deflateInit2 failed for %s", entry->name.c_str());
    return kZipWriteFailed;
  }
  entry->flag |= kFlagMaxCompression;
  static const uint8_t kNothing = 0;
  zs.next_in = const_cast<Bytef*>(length > 0 ? bytes : &kNothing);
  zs.avail_in = length;
  uint8_t chunk[kChunk];
  int rc = Z_OK;
  while (rc == Z_OK) {
    zs.next_out = chunk;
    zs.avail_out = kChunk;
    rc = deflate(&zs, Z_FINISH);
    const uint32_t produced = kChunk - zs.avail_out;
    if ((rc != Z_OK && rc != Z_STREAM_END) || !output_.Write(chunk, produced)) {
      VLOG_ERROR("ZipWriter::Add, writing the deflated data of %s failed, rc %d", entry->name.c_str(), rc);
      deflateEnd(&zs);
      return kZipWriteFailed;
    }
  }
  deflateEnd(&zs);
  return kZipOk;
}

int ZipWriter::WriteCentralDirectory(ZipHandle* handle) {
  const int code = Check(handle, "ZipWriter::WriteCentralDirectory");
  if (code != kZipOk) return Keep(code);
  ZipWriter* self = handle->writer;
  if (self->finished_) {
    VLOG_ERROR("ZipWriter::WriteCentralDirectory, already written");
    return Keep(kZipFinished);
  }
  return Keep(self->FinishArchive());
}

int ZipWriter::FinishArchive() {
  const uint32_t centralOffset = output_.Size();
  int result = kZipOk;
  for (const ZipWrittenEntry& entry : entries_) {
    const std::vector<uint8_t> header = CentralHeaderBytes(entry);
    if (!output_.Write(header.data(), static_cast<uint32_t>(header.size()))) {
      VLOG_ERROR("ZipWriter::WriteCentralDirectory, central header of %s not written", entry.name.c_str());
      result = kZipWriteFailed;
      break;
    }
  }
  const std::vector<uint8_t> end =
      EndRecordBytes(static_cast<uint16_t>(entries_.size()), output_.Size() - centralOffset, centralOffset);
  if (!output_.Write(end.data(), static_cast<uint32_t>(end.size()))) {
    VLOG_ERROR("ZipWriter::WriteCentralDirectory, end record not written");
    result = kZipWriteFailed;
  }
  finished_ = true;
  finishResult_ = result;
  return result;
}

int ZipWriter::GetMemory(ZipHandle* handle, const uint8_t** bytes, uint32_t* length) {
  int code = Check(handle, "ZipWriter::GetMemory");
  if (code != kZipOk) return Keep(code);
  if (bytes == nullptr || length == nullptr) {
    VLOG_ERROR("ZipWriter::GetMemory, no place for the result");
    return Keep(kZipBadArgument);
  }
  ZipWriter* self = handle->writer;
  code = self->finished_ ? self->finishResult_ : self->FinishArchive();
  if (code != kZipOk) return Keep(code);  // an archive without its whole directory is not handed out
  *bytes = self->output_.Data();
  *length = self->output_.Size();
  return Keep(kZipOk);
}

int ZipWriter::Close(ZipHandle* handle) {
  const int code = Check(handle, "ZipWriter::Close");
  if (code != kZipOk) return Keep(code);
  ZipWriter* self = handle->writer;
  const int result = self->finished_ ? kZipOk : self->FinishArchive();
  delete self;
  delete handle;
  return Keep(result);
}
