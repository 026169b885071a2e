#include <cstring>

#include "ui/core/resources/zip_bytes_internal.h"
#include "ui/core/resources/zip_reader_internal.h"

namespace SkinUI {

namespace {

const uint32_t kLocalHeaderSize = 30;
const uint32_t kLocalSignature = 0x04034B50;
const uint32_t kCryptHeaderSize = 12;
const uint32_t kInputChunk = 16384;
const uint16_t kMethodStored = 0;
const uint16_t kMethodDeflated = 8;

}  // namespace

void ZipReader::CloseStream() {
  if (m_stream.zlibReady) inflateEnd(&m_stream.z);
  m_stream = ZipItemStream();
}

DWORD ZipReader::OpenStream(int index) {
  const ZipCentralEntry& e = m_entries[static_cast<size_t>(index)];
  if (e.method != kMethodStored && e.method != kMethodDeflated) return ZR_FLATE;
  uint8_t local[kLocalHeaderSize];
  uint32_t localPos = e.localOffset + m_bytesBefore;
  if (!m_source->ReadExact(localPos, local, kLocalHeaderSize)) return ZR_READ;
  if (ZipLe32(local) != kLocalSignature) return ZR_CORRUPT;
  uint32_t dataPos = localPos + kLocalHeaderSize + ZipLe16(local + 26) + ZipLe16(local + 28);

  m_stream.index = index;
  m_stream.inputOffset = dataPos;
  m_stream.inputLeft = e.compSize;
  m_stream.crc = crc32(0L, Z_NULL, 0);
  if (e.flags & 1) {
    if (!m_hasPassword || e.compSize < kCryptHeaderSize) return ZR_PASSWORD;
    m_stream.encrypted = true;
    ZipCryptInit(m_stream.keys, m_password);
    uint8_t header[kCryptHeaderSize];
    uint32_t got = 0;
    DWORD r = ReadInput(header, kCryptHeaderSize, &got);
    if (r != ZR_OK || got != kCryptHeaderSize) return ZR_FLATE;
    uint8_t check = (e.flags & 8) ? static_cast<uint8_t>(e.dosTime >> 8) : static_cast<uint8_t>(e.crc >> 24);
    if (header[kCryptHeaderSize - 1] != check) return ZR_PASSWORD;
  }
  if (e.method == kMethodDeflated) {
    if (inflateInit2(&m_stream.z, -MAX_WBITS) != Z_OK) return ZR_FLATE;
    m_stream.zlibReady = true;
    m_stream.input.resize(kInputChunk);
  } else if (m_stream.inputLeft != e.uncSize) {
    return ZR_FLATE;
  }
  return ZR_OK;
}

// Reads (and decrypts) the next bytes of the item's stored data.
DWORD ZipReader::ReadInput(uint8_t* buffer, uint32_t count, uint32_t* got) {
  *got = 0;
  if (count > m_stream.inputLeft) count = m_stream.inputLeft;
  if (count == 0) return ZR_OK;
  uint32_t read = 0;
  if (!m_source->ReadAt(m_stream.inputOffset, buffer, count, &read)) return ZR_READ;
  // The archive ends inside the item: its data is cut short.
  if (read != count) return ZR_FLATE;
  if (m_stream.encrypted) {
    for (uint32_t i = 0; i < read; ++i) buffer[i] = ZipCryptDecode(m_stream.keys, buffer[i]);
  }
  m_stream.inputOffset += read;
  m_stream.inputLeft -= read;
  *got = read;
  return ZR_OK;
}

DWORD ZipReader::ProduceStored(uint8_t* out, uint32_t length, uint32_t* written) {
  uint32_t got = 0;
  DWORD r = ReadInput(out, length, &got);
  *written = got;
  return r;
}

DWORD ZipReader::ProduceDeflated(uint8_t* out, uint32_t length, uint32_t* written) {
  z_stream& z = m_stream.z;
  z.next_out = out;
  z.avail_out = length;
  while (z.avail_out > 0 && !m_stream.ended) {
    if (z.avail_in == 0) {
      // The compressed data ran out before the stream's end: the item is truncated.
      if (m_stream.inputLeft == 0) return ZR_FLATE;
      uint32_t got = 0;
      DWORD r = ReadInput(m_stream.input.data(), kInputChunk, &got);
      if (r != ZR_OK) return r;
      z.next_in = m_stream.input.data();
      z.avail_in = got;
    }
    int zr = inflate(&z, Z_NO_FLUSH);
    if (zr == Z_STREAM_END) {
      m_stream.ended = true;
    } else if (zr != Z_OK && !(zr == Z_BUF_ERROR && z.avail_in == 0)) {
      return ZR_FLATE;
    }
  }
  *written = length - z.avail_out;
  return ZR_OK;
}

// Every declared byte was produced: the stream must end here, with nothing more in it.
DWORD ZipReader::FinishDeflated() {
  uint8_t scratch[1];
  while (!m_stream.ended) {
    uint32_t written = 0;
    DWORD r = ProduceDeflated(scratch, 1, &written);
    if (r != ZR_OK) return r;
    if (written != 0) return ZR_FLATE;
  }
  return ZR_OK;
}

DWORD ZipReader::FinishItem() {
  const ZipCentralEntry& e = m_entries[static_cast<size_t>(m_stream.index)];
  if (m_stream.zlibReady) {
    DWORD r = FinishDeflated();
    if (r != ZR_OK) return r;
  }
  if (m_stream.produced != e.uncSize || m_stream.crc != e.crc) return ZR_FLATE;
  return ZR_OK;
}

DWORD ZipReader::UnzipItem(int index, void* buffer, uint32_t length) {
  if (index < 0 || index >= static_cast<int>(m_entries.size()) || (buffer == nullptr && length != 0)) return ZR_ARGS;
  if (m_stream.index != index) {
    CloseStream();
    DWORD r = OpenStream(index);
    if (r != ZR_OK) {
      CloseStream();
      return r;
    }
  }
  const ZipCentralEntry& e = m_entries[static_cast<size_t>(index)];
  uint32_t wanted = length;
  uint32_t left = e.uncSize - (m_stream.produced < e.uncSize ? m_stream.produced : e.uncSize);
  if (!m_stream.zlibReady && wanted > left) wanted = left;
  uint32_t written = 0;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  DWORD r = m_stream.zlibReady ? ProduceDeflated(out, wanted, &written) : ProduceStored(out, wanted, &written);
  if (r == ZR_OK) {
    m_stream.crc = crc32(m_stream.crc, out, written);
    m_stream.produced += written;
    if (m_stream.ended || m_stream.produced >= e.uncSize) {
      r = FinishItem();
    } else {
      return ZR_MORE;
    }
  }
  CloseStream();
  return r;
}

}  // namespace SkinUI
