// Unzipping throughput of ZipReader beside raw zlib inflate of the same DEFLATE data in
// the same run (the anchor: what any reader must at least spend).
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"
#include "bench_timing.h"

namespace {

constexpr size_t kDataSize = 32 << 20;
constexpr int kRounds = 5;

// Program-like data: runs of text with some random bytes, about 3:1 under DEFLATE.
std::vector<uint8_t> SampleData() {
  static const char* const kWords[] = {"CreateFileW ",     "RegSetValueExW ", "component ",     "install ",
                                       "\x00\x00\x01\x00", "kernel32.dll ",   "version=2.1.0 ", "\r\n"};
  std::mt19937 random(7);
  std::vector<uint8_t> data;
  data.reserve(kDataSize);
  while (data.size() < kDataSize) {
    if (random() % 4 == 0) {
      for (int i = 0; i < 8; ++i) data.push_back(static_cast<uint8_t>(random()));
    } else {
      const char* word = kWords[random() % 8];
      const size_t n = word[0] == 0 ? 4 : strlen(word);
      data.insert(data.end(), word, word + n);
    }
  }
  data.resize(kDataSize);
  return data;
}

}  // namespace

int main() {
  const std::vector<uint8_t> data = SampleData();
  ZipHandle* writer = ZipWriter::Create(static_cast<uint32_t>(data.size()));
  if (writer == nullptr ||
      ZipWriter::Add(writer, "sample.bin", data.data(), static_cast<uint32_t>(data.size())) != kZipOk) {
    fprintf(stderr, "bench_unzip, writing the archive failed, code %d\n", ZipWriter::LastCode());
    return 1;
  }
  const uint8_t* bytes = nullptr;
  uint32_t length = 0;
  if (ZipWriter::GetMemory(writer, &bytes, &length) != kZipOk) return 1;
  const std::vector<uint8_t> archive(bytes, bytes + length);
  CloseZip(writer);

  // The entry's raw DEFLATE data: after the 30-byte local header, its name and extra field.
  const uint32_t compressedSize = archive[18] | archive[19] << 8 | archive[20] << 16 | archive[21] << 24;
  const uint8_t* deflated = archive.data() + 30 + (archive[26] | archive[27] << 8) + (archive[28] | archive[29] << 8);

  std::vector<uint8_t> out(data.size());
  bool ok = true;
  const double raw = BestSeconds(kRounds, [&] {
    z_stream zs{};
    inflateInit2(&zs, -MAX_WBITS);
    zs.next_in = const_cast<Bytef*>(deflated);
    zs.avail_in = compressedSize;
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    ok = inflate(&zs, Z_FINISH) == Z_STREAM_END && ok;
    inflateEnd(&zs);
  });
  ok = ok && out == data;
  std::fill(out.begin(), out.end(), 0);
  const double reader = BestSeconds(kRounds, [&] {
    ZipHandle* zip = ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size()));
    ZipItemInfo info;
    ok = zip != nullptr && ZipReader::GetItem(zip, 0, &info) == kZipOk && ok;
    ok = ZipReader::UnzipItem(zip, 0, out.data(), static_cast<uint32_t>(out.size())) == kZipMoreData && ok;
    CloseZip(zip);
  });
  ok = ok && out == data;
  if (!ok) {
    fprintf(stderr, "bench_unzip, unpacking gave wrong bytes\n");
    return 1;
  }

  const double mib = static_cast<double>(data.size()) / (1 << 20);
  printf("entry:                  %.0f MiB, deflated to %.1f MiB, best of %d\n", mib,
         static_cast<double>(compressedSize) / (1 << 20), kRounds);
  printf("ZipReader::UnzipItem:   %.1f MiB/s (output)\n", mib / reader);
  printf("raw zlib inflate:       %.1f MiB/s (output)\n", mib / raw);
  printf("ratio reader/raw:       %.2f\n", raw / reader);
  return 0;
}
