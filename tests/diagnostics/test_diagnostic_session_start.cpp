// The fields of session.started, read from the application bundle.
#include "DiagnosticSessionStart.h"
#include "FakeBundle.h"

#include <QSysInfo>

#include <gtest/gtest.h>

namespace {

struct ManifestCase {
    const char* reason;
    QByteArray manifest; // null: no manifest file at all
    QString version;
    QString revision;
};

class SessionStartedManifest : public testing::TestWithParam<ManifestCase> {};

TEST_P(SessionStartedManifest, TakesAdbVersionAndRevisionFromTheBundle) {
    FakeBundle fake;
    if (!GetParam().manifest.isNull()) {
        fake.writeResource("adb-distribution.json", GetParam().manifest);
    }
    const DiagnosticFields fields = sessionStartedFields(fake.bundle());
    EXPECT_EQ(fields.value("adb_version"), GetParam().version);
    EXPECT_EQ(fields.value("adb_revision"), GetParam().revision);
    EXPECT_EQ(fields.keys(), (QStringList{"adb_revision", "adb_version", "app_version", "macos"}));
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, SessionStartedManifest,
    testing::Values(
        ManifestCase{"manifest_read", R"({"version":"34.0.4","revision":"debian","sourceURL":
                     "https://android.googlesource.com/platform/packages/modules/adb",
                     "sha256":"ab"})",
                     "34.0.4", "debian"},
        ManifestCase{"manifest_missing", QByteArray(), "unknown", "unknown"},
        ManifestCase{"manifest_not_json", "{version:", "unknown", "unknown"},
        ManifestCase{"manifest_without_revision", R"({"version":"34.0.4"})", "unknown", "unknown"}),
    [](const testing::TestParamInfo<ManifestCase>& info) { return info.param.reason; });

TEST(SessionStartedFields, NameTheApplicationAndSystemVersions) {
    FakeBundle fake;
    fake.writeResource("GitVersion.plist",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                       "<key>DisplayVersion</key><string>2.318</string></dict></plist>");
    const DiagnosticFields fields = sessionStartedFields(fake.bundle());
    EXPECT_EQ(fields.value("app_version"), "2.318");
    EXPECT_EQ(fields.value("macos"), QSysInfo::productType() + " " + QSysInfo::productVersion());
    EXPECT_FALSE(fields.value("macos").contains('/'));
}

} // namespace
