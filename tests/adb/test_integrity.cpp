// The start-up check of the bundled adb and the distribution manifest.
#include "ADBDistributionInfo.h"
#include "ADBIntegrityChecker.h"
#include "FakeBundle.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace {

const QByteArray adbContent = QByteArrayLiteral("#!/bin/sh\necho adb\n");
const QByteArray adbDigest =
    QCryptographicHash::hash(adbContent, QCryptographicHash::Sha256).toHex();

struct IntegrityCase {
    const char* name;
    bool writeDigest;
    QByteArray digestFile;
    bool writeExecutable;
    bool executable;
    QByteArray content;
    ADBIntegrityResult expected;
};

class IntegrityTest : public testing::TestWithParam<IntegrityCase> {};

TEST_P(IntegrityTest, VerifiesTheBundledExecutable) {
    const IntegrityCase& c = GetParam();
    FakeBundle fake;
    if (c.writeDigest) {
        fake.writeResource(QStringLiteral("adb-integrity.sha256"), c.digestFile);
    }
    if (c.writeExecutable) {
        fake.writeExecutable(c.content, c.executable);
    }
    EXPECT_EQ(ADBIntegrityChecker(fake.bundle()).verify(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntegrityTest,
    testing::Values(IntegrityCase{"matching_digest", true, adbDigest, true, true, adbContent,
                                  ADBIntegrityValid{}},
                    IntegrityCase{"upper_case_digest_with_line_feed", true,
                                  adbDigest.toUpper() + "\n", true, true, adbContent,
                                  ADBIntegrityValid{}},
                    IntegrityCase{"altered_executable", true, adbDigest, true, true,
                                  adbContent + "#", ADBIntegrityFailure::checksumMismatch},
                    IntegrityCase{"digest_followed_by_file_name", true, adbDigest + "  adb\n", true,
                                  true, adbContent, ADBIntegrityFailure::checksumMismatch},
                    IntegrityCase{"no_digest_resource",
                                  false,
                                  {},
                                  true,
                                  true,
                                  adbContent,
                                  ADBIntegrityFailure::integrityDataMissing},
                    // A digest file that is not UTF-8 text cannot be read as a digest at all.
                    IntegrityCase{"digest_file_not_utf8", true, adbDigest + "\xff\xfe", true, true,
                                  adbContent, ADBIntegrityFailure::integrityDataMissing},
                    IntegrityCase{"blank_digest_checked_before_missing_executable",
                                  true,
                                  " \n\t",
                                  false,
                                  true,
                                  {},
                                  ADBIntegrityFailure::integrityDataMissing},
                    IntegrityCase{"missing_executable",
                                  true,
                                  adbDigest,
                                  false,
                                  true,
                                  {},
                                  ADBIntegrityFailure::executableMissing},
                    IntegrityCase{"not_executable_whatever_its_content", true, adbDigest, true,
                                  false, adbContent, ADBIntegrityFailure::notExecutable},
                    IntegrityCase{"empty_executable",
                                  true,
                                  adbDigest,
                                  true,
                                  true,
                                  {},
                                  ADBIntegrityFailure::checksumMismatch}),
    [](const testing::TestParamInfo<IntegrityCase>& info) { return std::string(info.param.name); });

TEST(IntegrityDiagnosticCode, NamesEachFailure) {
    EXPECT_EQ(diagnosticCode(ADBIntegrityFailure::integrityDataMissing),
              "ADB_INTEGRITY_DATA_MISSING");
    EXPECT_EQ(diagnosticCode(ADBIntegrityFailure::executableMissing), "ADB_EXECUTABLE_MISSING");
    EXPECT_EQ(diagnosticCode(ADBIntegrityFailure::notExecutable), "ADB_NOT_EXECUTABLE");
    EXPECT_EQ(diagnosticCode(ADBIntegrityFailure::checksumMismatch), "ADB_CHECKSUM_MISMATCH");
}

TEST(DistributionManifest, DecodesAllFourKeys) {
    const auto info = decodeADBDistributionInfo(
        R"({"version":"29.0.6","revision":"debian","sourceURL":"https://android.googlesource.com/platform/packages/modules/adb","sha256":"ab"})");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->version, "29.0.6");
    EXPECT_EQ(info->revision, "debian");
    EXPECT_EQ(info->sourceURL.host(), "android.googlesource.com");
    EXPECT_EQ(info->sha256, "ab");
}

TEST(DistributionManifest, RejectsIncompleteOrMalformedJson) {
    for (const QByteArray& json : {
             QByteArray(R"({"version":"1","revision":"r","sha256":"x"})"),
             QByteArray(R"({"version":1,"revision":"r","sourceURL":"https://a.b","sha256":"x"})"),
             QByteArray(R"(["version"])"),
             QByteArray("not json"),
             QByteArray(),
         }) {
        EXPECT_FALSE(decodeADBDistributionInfo(json).has_value()) << json.constData();
    }
}

TEST(DistributionManifest, LoadsFromTheBundleOrGivesNothing) {
    FakeBundle fake;
    EXPECT_FALSE(loadADBDistributionInfo(fake.bundle()).has_value());
    fake.writeResource(
        QStringLiteral("adb-distribution.json"),
        R"({"version":"1.0.41","revision":"29.0.6-debian","sourceURL":"https://x.org/adb","sha256":"00"})");
    const auto info = loadADBDistributionInfo(fake.bundle());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->revision, "29.0.6-debian");
}

} // namespace
