#include "zip_builder.h"

#include <zlib.h>

#include "common/zip/zip_format.h"

using namespace zipfmt;

namespace {

// Appends each value as `width` little-endian bytes.
void Put(Bytes* out, int width, std::initializer_list<uint32_t> values) {
  for (uint32_t v : values) {
    for (int i = 0; i < width; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
}

uint32_t Size(size_t n) { return static_cast<uint32_t>(n); }

}  // namespace

Bytes RawDeflate(const Bytes& content) {
  z_stream zs{};
  deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  Bytes out(deflateBound(&zs, static_cast<uLong>(content.size())) + 16);
  static const uint8_t kNothing = 0;
  zs.next_in = const_cast<Bytef*>(content.empty() ? &kNothing : content.data());
  zs.avail_in = static_cast<uInt>(content.size());
  zs.next_out = out.data();
  zs.avail_out = static_cast<uInt>(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

Bytes TimestampBlock(uint8_t flags, const std::vector<int32_t>& times, int length) {
  Bytes b;
  Put(&b, 2, {kTimestampTag, length >= 0 ? Size(length) : Size(1 + 4 * times.size())});
  Put(&b, 1, {flags});
  for (int32_t t : times) Put(&b, 4, {static_cast<uint32_t>(t)});
  return b;
}

Bytes BuildArchive(const BuiltArchive& layout) {
  Bytes out = layout.junkBefore;
  const uint32_t base = Size(layout.junkBefore.size());
  Bytes central;
  for (const BuiltEntry& e : layout.entries) {
    const Bytes data = e.data ? *e.data : (e.method == 8 ? RawDeflate(e.content) : e.content);
    const uint32_t crc = e.crc.value_or(crc32(0, e.content.data(), static_cast<uInt>(e.content.size())));
    const uint32_t sizes[] = {e.compressedSize.value_or(Size(data.size())),
                              e.uncompressedSize.value_or(Size(e.content.size()))};
    Put(&central, 4, {kCentralSignature});
    Put(&central, 2, {0x031E, 20, e.flag, e.method});
    Put(&central, 4, {e.dosDateTime, crc, sizes[0], sizes[1]});
    Put(&central, 2, {Size(e.name.size()), 0, 0, 0, 0});
    Put(&central, 4, {e.externalAttributes, Size(out.size()) - base});
    central.insert(central.end(), e.name.begin(), e.name.end());

    Put(&out, 4, {kLocalSignature});
    Put(&out, 2, {20, e.flag, e.method});
    Put(&out, 4, {e.dosDateTime, crc, sizes[0], sizes[1]});
    Put(&out, 2, {Size(e.name.size()), Size(e.localExtra.size())});
    out.insert(out.end(), e.name.begin(), e.name.end());
    out.insert(out.end(), e.localExtra.begin(), e.localExtra.end());
    out.insert(out.end(), data.begin(), data.end());
  }
  const uint32_t centralOffset = Size(out.size()) - base;
  out.insert(out.end(), central.begin(), central.end());
  const uint32_t count = layout.entriesInEndRecord >= 0 ? layout.entriesInEndRecord : Size(layout.entries.size());
  Put(&out, 4, {kEndSignature});
  Put(&out, 2, {layout.disk, layout.disk, count, count});
  Put(&out, 4, {Size(central.size()), centralOffset});
  Put(&out, 2, {Size(layout.comment.size())});
  out.insert(out.end(), layout.comment.begin(), layout.comment.end());
  return out;
}
