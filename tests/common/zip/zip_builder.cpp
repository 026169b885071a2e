#include "zip_builder.h"

#include <zlib.h>

#include "common/zip/zip_format.h"

using namespace zipfmt;

namespace {

void Put16To(Bytes* out, uint16_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
void Put32To(Bytes* out, uint32_t v) {
  Put16To(out, static_cast<uint16_t>(v));
  Put16To(out, static_cast<uint16_t>(v >> 16));
}
void Append(Bytes* out, const void* bytes, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  out->insert(out->end(), p, p + n);
}

struct Resolved {
  Bytes data;
  uint32_t crc, compressedSize, uncompressedSize;
};

Resolved Resolve(const BuiltEntry& e) {
  Resolved r;
  r.data = e.overrideData ? e.data : (e.method == 8 ? RawDeflate(e.content) : e.content);
  r.crc = e.overrideCrc ? e.crc32 : static_cast<uint32_t>(crc32(0, e.content.data(), static_cast<uInt>(e.content.size())));
  r.compressedSize = e.overrideSizes ? e.compressedSize : static_cast<uint32_t>(r.data.size());
  r.uncompressedSize = e.overrideSizes ? e.uncompressedSize : static_cast<uint32_t>(e.content.size());
  return r;
}

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

Bytes TimestampBlock(uint8_t flags, const std::vector<int32_t>& times, int lengthOverride) {
  Bytes b;
  Put16To(&b, kTimestampTag);
  Put16To(&b, static_cast<uint16_t>(lengthOverride >= 0 ? lengthOverride : 1 + 4 * static_cast<int>(times.size())));
  b.push_back(flags);
  for (int32_t t : times) Put32To(&b, static_cast<uint32_t>(t));
  return b;
}

Bytes BuildArchive(const BuiltArchive& layout) {
  Bytes out = layout.junkBefore;
  const uint32_t base = static_cast<uint32_t>(layout.junkBefore.size());
  std::vector<uint32_t> offsets;
  std::vector<Resolved> resolved;
  for (const BuiltEntry& e : layout.entries) {
    Resolved r = Resolve(e);
    offsets.push_back(static_cast<uint32_t>(out.size()) - base);
    Put32To(&out, kLocalSignature);
    Put16To(&out, 20);
    Put16To(&out, e.flag);
    Put16To(&out, e.method);
    Put32To(&out, e.dosDateTime);
    Put32To(&out, e.zeroLocalSizes ? 0 : r.crc);
    Put32To(&out, e.zeroLocalSizes ? 0 : r.compressedSize);
    Put32To(&out, e.zeroLocalSizes ? 0 : r.uncompressedSize);
    Put16To(&out, static_cast<uint16_t>(e.name.size()));
    Put16To(&out, static_cast<uint16_t>(e.localExtra.size()));
    Append(&out, e.name.data(), e.name.size());
    Append(&out, e.localExtra.data(), e.localExtra.size());
    Append(&out, r.data.data(), r.data.size());
    resolved.push_back(std::move(r));
  }
  const uint32_t centralOffset = static_cast<uint32_t>(out.size()) - base;
  for (size_t i = 0; i < layout.entries.size(); ++i) {
    const BuiltEntry& e = layout.entries[i];
    const Resolved& r = resolved[i];
    Put32To(&out, kCentralSignature);
    Put16To(&out, e.versionMadeBy);
    Put16To(&out, 20);
    Put16To(&out, e.flag);
    Put16To(&out, e.method);
    Put32To(&out, e.dosDateTime);
    Put32To(&out, r.crc);
    Put32To(&out, r.compressedSize);
    Put32To(&out, r.uncompressedSize);
    Put16To(&out, static_cast<uint16_t>(e.name.size()));
    Put16To(&out, static_cast<uint16_t>(e.centralExtra.size()));
    Put16To(&out, 0);
    Put16To(&out, 0);
    Put16To(&out, 0);
    Put32To(&out, e.externalAttributes);
    Put32To(&out, offsets[i]);
    Append(&out, e.name.data(), e.name.size());
    Append(&out, e.centralExtra.data(), e.centralExtra.size());
  }
  const uint32_t centralSize = static_cast<uint32_t>(out.size()) - base - centralOffset;
  const uint16_t count = static_cast<uint16_t>(layout.entriesInEndRecord >= 0 ? layout.entriesInEndRecord : layout.entries.size());
  Put32To(&out, kEndSignature);
  Put16To(&out, layout.disk);
  Put16To(&out, layout.disk);
  Put16To(&out, count);
  Put16To(&out, count);
  Put32To(&out, centralSize);
  Put32To(&out, centralOffset);
  Put16To(&out, static_cast<uint16_t>(layout.comment.size()));
  Append(&out, layout.comment.data(), layout.comment.size());
  return out;
}
