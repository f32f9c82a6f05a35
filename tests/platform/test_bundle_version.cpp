// Reading the bundle's property lists and the version text built from them.
#include "AppVersion.h"
#include "FakeBundle.h"
#include "PropertyList.h"

#include <gtest/gtest.h>

namespace {

QByteArray plist(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           body + "</plist>\n";
}

QByteArray infoPlist(const QByteArray& shortVersion, const QByteArray& bundleVersion) {
    QByteArray body = "<dict><key>CFBundleIdentifier</key><string>app.pavrel.Pavrel</string>";
    if (!shortVersion.isNull()) {
        body += "<key>CFBundleShortVersionString</key><string>" + shortVersion + "</string>";
    }
    if (!bundleVersion.isNull()) {
        body += "<key>CFBundleVersion</key><string>" + bundleVersion + "</string>";
    }
    return plist(body + "</dict>");
}

TEST(PropertyList, DecodesNestedTypes) {
    FakeBundle fake;
    fake.writeFile(
        QStringLiteral("p.plist"),
        plist("<dict><key>a</key><array><integer>-3</integer><true/><real>1.5</real></array>"
              "<key>b</key><dict><key>c</key><string>ü &amp; d</string></dict>"
              "<key>e</key><data>AAE=</data></dict>"));
    const QVariantMap map = readPropertyListDictionary(fake.path() + QStringLiteral("/p.plist"));
    const QVariantList a = map.value("a").toList();
    ASSERT_EQ(a.size(), 3);
    EXPECT_EQ(a[0].toLongLong(), -3);
    EXPECT_EQ(a[1].typeId(), QMetaType::Bool);
    EXPECT_TRUE(a[1].toBool());
    EXPECT_DOUBLE_EQ(a[2].toDouble(), 1.5);
    EXPECT_EQ(map.value("b").toMap().value("c").toString(), QString::fromUtf8("ü & d"));
    EXPECT_EQ(map.value("e").toByteArray(), QByteArray("\x00\x01", 2));
}

TEST(PropertyList, RejectsBrokenFiles) {
    FakeBundle fake;
    const QString path = fake.path() + QStringLiteral("/p.plist");
    for (const QByteArray& content : {QByteArray("<plist><dict><key>a</key></dict></plist>"),
                                      QByteArray("<plist><dict><key>a</key><string>x</dict>"),
                                      QByteArray("<html/>"), QByteArray()}) {
        fake.writeFile(QStringLiteral("p.plist"), content);
        EXPECT_FALSE(readPropertyList(path).has_value()) << content.constData();
    }
    EXPECT_FALSE(readPropertyList(fake.path() + QStringLiteral("/missing.plist")).has_value());
}

struct VersionCase {
    const char* name;
    QByteArray info;
    QByteArray gitVersion; // null: no GitVersion.plist
    QString expected;
};

class DisplayVersionTest : public testing::TestWithParam<VersionCase> {};

TEST_P(DisplayVersionTest, ComposesTheVersionText) {
    const VersionCase& c = GetParam();
    FakeBundle fake;
    if (!c.info.isNull()) {
        fake.writeFile(QStringLiteral("Contents/Info.plist"), c.info);
    }
    if (!c.gitVersion.isNull()) {
        fake.writeResource(QStringLiteral("GitVersion.plist"), c.gitVersion);
    }
    EXPECT_EQ(displayVersion(fake.bundle()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayVersionTest,
    testing::Values(
        VersionCase{"first_component_and_build", infoPlist("2.4.1", "318"), QByteArray(), "2.318"},
        VersionCase{"git_version_wins", infoPlist("2.4.1", "318"),
                    plist("<dict><key>DisplayVersion</key><string>2.5-beta</string></dict>"),
                    "2.5-beta"},
        VersionCase{"empty_git_version_ignored", infoPlist("2.4.1", "318"),
                    plist("<dict><key>DisplayVersion</key><string></string></dict>"), "2.318"},
        VersionCase{"undecodable_git_version_ignored", infoPlist("3.0", "7"), QByteArray("garbage"),
                    "3.7"},
        VersionCase{"leading_dots_dropped", infoPlist("..5.1", "9"), QByteArray(), "5.9"},
        VersionCase{"defaults_without_info", QByteArray(), QByteArray(), "1.1"},
        VersionCase{"defaults_for_missing_keys", infoPlist(QByteArray(), QByteArray()),
                    QByteArray(), "1.1"},
        VersionCase{"empty_short_version_gives_one", infoPlist("", "42"), QByteArray(), "1.42"},
        // Versions that are not texts are not versions: the defaults stand in for them.
        VersionCase{"versions_that_are_not_texts",
                    plist("<dict><key>CFBundleShortVersionString</key><integer>2</integer>"
                          "<key>CFBundleVersion</key><real>318.5</real></dict>"),
                    QByteArray(), "1.1"},
        VersionCase{"git_version_that_is_not_a_text_ignored", infoPlist("2.4.1", "318"),
                    plist("<dict><key>DisplayVersion</key><integer>7</integer></dict>"), "2.318"}),
    [](const testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

} // namespace
