// Result codes of the zip writer and reader. Callers (the install package reader and
// maker) compare against these values, so they never change.
#pragma once

constexpr int kZipOk = 0;
constexpr int kZipNoMemory = 768;         // the writer's memory area could not be made or grown
constexpr int kZipWriteFailed = 1024;     // a header, the data or the central directory was not written
constexpr int kZipMoreData = 1536;        // the buffer was filled, the entry stays open
constexpr int kZipBadLocalHeader = 1792;  // the local header does not fit its central header
constexpr int kZipBadExtraField = 2048;   // the local extra field cannot be read completely
constexpr int kZipBadArgument = 0x10000;
constexpr int kZipBadAreaSize = 0x30000;  // sticky in the writer: a position beyond its area
constexpr int kZipEarlierError = 0x40000;
constexpr int kZipFinished = 0x50000;
constexpr int kZipWrongKind = 0x80000;
constexpr int kZipRewriteFailed = 0x2000000;
constexpr int kZipDataFailed = 0x5000000;
constexpr int kZipOpenFailed = -1;  // no end record, or a read past the end
constexpr int kZipInconsistent = -103;
