// Reading one package of a program file: the head's checks, the tail's digests and the
// layout of index and items, each size checked against the package's own bounds before use.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/package/package_file.h"
#include "engine/package/setup_pkg.h"

// Head check codes: where the packages of a file end.
constexpr int kHeadBadMagic = -1;
constexpr int kHeadBadVersion = -2;
constexpr int kHeadBadIndexOffset = -3;
constexpr int kHeadBadTotalLength = -4;
constexpr int kHeadBeyondFile = -5;

// Verification codes of a package whose head passed: the package is damaged.
constexpr int kTailBadHeadDigest = -1;
constexpr int kTailBadIndexDigest = -2;
constexpr int kTailBadItemsDigest = -3;
constexpr int kTailBadFrame = -4;  // no "TgkP", or a total length that differs from the head's
constexpr int kBadLayout = -5;     // index or items do not fit the package

struct PackageReadResult {
  enum Kind { kOk, kNoHead, kDamaged, kReadError } kind = kOk;
  int code = 0;  // head or verification code, or the system error code
};

// The digests of a package's index and item ranges, as its tail holds them when it is whole.
struct PackageDigests {
  uint8_t index[pkgfmt::kDigestSize];
  uint8_t items[pkgfmt::kDigestSize];
};

// The head's checks against the file: 0 or a head check code.
int CheckPackageHead(const pkgfmt::PackageHead& head, uint64_t headOffset, uint64_t fileSize);

// Where the packages of the chain from headOffset begin, as far as their heads pass their
// checks. Reads without logging: the verification of each package tells what failed.
std::vector<uint64_t> ChainedHeads(const PackageFile& file, uint64_t headOffset);

// The digests of the package at headOffset, ahead of its verification and without logging:
// false when a read or a check on the way fails (its verification then tells which).
bool DigestPackage(const PackageFile& file, uint64_t headOffset, PackageDigests* out);

// The digests of the packages at heads, several at once and without logging; an entry left
// empty is computed by the package's verification, which also tells what failed.
std::vector<std::optional<PackageDigests>> DigestPackages(const PackageFile& file, const std::vector<uint64_t>& heads);

// The item records and data offsets of the package at headOffset, read without logging and
// before its digests are compared: false when a read or a check of its layout fails.
bool ListItemsQuietly(const PackageFile& file, uint64_t headOffset, PackageDescriptor* out);

// Reads and verifies the package whose head is at headOffset (< file size). Digests computed
// ahead, when given, stand for reading the ranges they cover.
PackageReadResult ReadPackageAt(const PackageFile& file, uint64_t headOffset, PackageDescriptor* out,
                                const PackageDigests* ahead = nullptr);
