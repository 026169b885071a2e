// The produced setup program reads its own packages through SetupPkg::GetInstance.
#include <gtest/gtest.h>

#include "common/sys/text_convert.h"
#include "engine/package/package_format.h"
#include "test_support.h"

using namespace pkgfmt;

namespace {

int RunProbe(const std::wstring& setup, const std::wstring& folder, const std::wstring& report) {
  return RunProgram(setup, L"\"" + folder + L"\" \"" + report + L"\"");
}

}  // namespace

TEST(ProducedProgram, ExtractsItsOwnPackages) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir, ProbeImagePath());
  ASSERT_FALSE(setup.empty());
  ASSERT_EQ(0, RunProbe(setup, dir / L"x", dir / L"report.txt"));
  EXPECT_EQ(ReportValue(dir / L"report.txt", "packages"), "2");
  EXPECT_EQ(ReportValue(dir / L"report.txt", "setup"), "0");
  EXPECT_EQ(ReportValue(dir / L"report.txt", "product_config"), "Product.config");
  EXPECT_EQ(ReportValue(dir / L"report.txt", "program"), "0");
  for (const SourceFile& file : MixedFiles())
    EXPECT_EQ(ReadBytes(dir / (L"x\\program\\" + Utf8ToWide(file.path))), file.content) << file.path;
  for (const SourceFile& file : SetupPackageFiles())
    EXPECT_EQ(ReadBytes(dir / (L"x\\setup\\" + Utf8ToWide(file.path))), file.content) << file.path;
}

TEST(ProducedProgram, DamagedPackageThrowsKvException) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir, ProbeImagePath());
  ASSERT_FALSE(setup.empty());
  Bytes bytes = ReadBytes(setup);
  const uint64_t head = Get32At(bytes, kLocatorOffset);
  bytes[head + kHeadSize + 300] ^= 0x01;  // one item byte
  WriteBytes(dir / L"damaged.exe", bytes);
  ASSERT_EQ(3, RunProbe(dir / L"damaged.exe", dir / L"x", dir / L"report.txt"));
  EXPECT_EQ(ReportValue(dir / L"report.txt", "kv_exception"), "-2");
  EXPECT_EQ(ReportValue(dir / L"report.txt", "what"), "SetupPkgParser Init failed.");
  EXPECT_FALSE(FileExists(dir / L"x\\program\\readme.txt"));
}

TEST(ProducedProgram, SignatureAfterThePackagesIsNoFailure) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir, ProbeImagePath());
  ASSERT_FALSE(setup.empty());
  Bytes bytes = ReadBytes(setup);
  const Bytes signature = RandomBytes(6000, 99);
  bytes.insert(bytes.end(), signature.begin(), signature.end());
  WriteBytes(dir / L"signed.exe", bytes);
  ASSERT_EQ(0, RunProbe(dir / L"signed.exe", dir / L"x", dir / L"report.txt"));
  EXPECT_EQ(ReportValue(dir / L"report.txt", "packages"), "2");
}
