// MD5 throughput of CMD5 beside OpenSSL's MD5 on the same buffer in the same run.
#include <openssl/evp.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "common/zip/md5.h"
#include "bench_timing.h"

namespace {

constexpr size_t kBufferSize = 64 << 20;
constexpr int kRounds = 5;

}  // namespace

int main() {
  std::vector<uint8_t> buffer(kBufferSize);
  std::mt19937 random(1321);
  for (uint8_t& b : buffer) b = static_cast<uint8_t>(random());

  unsigned sink = 0;
  const double ours = BestSeconds(kRounds, [&] {
    CMD5 md5;
    md5.Update(buffer.data(), buffer.size());
    sink += md5.Final()[0];
  });
  const double openssl = BestSeconds(kRounds, [&] {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(buffer.data(), buffer.size(), digest, &size, EVP_md5(), nullptr);
    sink += digest[0];
  });
  // Small pieces, as the package reader and the downloader feed it.
  const double oursPieces = BestSeconds(kRounds, [&] {
    CMD5 md5;
    for (size_t at = 0; at < buffer.size(); at += 4096) md5.Update(buffer.data() + at, 4096);
    sink += md5.Final()[0];
  });

  const double mib = static_cast<double>(kBufferSize) / (1 << 20);
  printf("md5 buffer:          %.0f MiB, best of %d\n", mib, kRounds);
  printf("CMD5:                %.1f MiB/s\n", mib / ours);
  printf("CMD5 (4 KiB pieces): %.1f MiB/s\n", mib / oursPieces);
  printf("OpenSSL MD5:         %.1f MiB/s\n", mib / openssl);
  printf("ratio CMD5/OpenSSL:  %.2f\n", openssl / ours);
  printf("(sink %u)\n", sink);
  return 0;
}
