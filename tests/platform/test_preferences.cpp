// The typed preferences store: values keep their types on disk and back, typed readers
// refuse other types, and a fresh store stands in for the user's.
#include "FreshPreferences.h"
#include "Preferences.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QJsonObject storedObject(const QString& filePath) {
    QFile file(filePath);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeFile(const QString& filePath, const QByteArray& content) {
    QFile file(filePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// One kind of value: how to store it, and what each reader must then give.
struct StoredKind {
    const char* name;
    std::function<void(Preferences&, const QString&)> write;
    std::function<bool(const QJsonValue&)> storedAsJson;
};

const QDateTime installDate(QDate(2024, 3, 9), QTime(14, 5, 7, 250), Qt::UTC);

const StoredKind storedKinds[] = {
    {"boolean", [](Preferences& p, const QString& k) { p.setBoolean(k, true); },
     [](const QJsonValue& v) { return v.isBool() && v.toBool(); }},
    {"integer", [](Preferences& p, const QString& k) { p.setInteger(k, 1024); },
     [](const QJsonValue& v) { return v.isDouble() && v.toInteger() == 1024; }},
    {"number", [](Preferences& p, const QString& k) { p.setNumber(k, 0.85); },
     [](const QJsonValue& v) { return v.isDouble() && v.toDouble() == 0.85; }},
    {"text", [](Preferences& p, const QString& k) { p.setText(k, QStringLiteral("english")); },
     [](const QJsonValue& v) { return v.isString() && v.toString() == "english"; }},
    {"textArray",
     [](Preferences& p, const QString& k) {
         p.setTextArray(k, {QStringLiteral("/sdcard/DCIM"), QStringLiteral("/sdcard/Фото")});
     },
     [](const QJsonValue& v) { return v.isArray() && v.toArray().size() == 2; }},
    {"date", [](Preferences& p, const QString& k) { p.setDate(k, installDate); },
     [](const QJsonValue& v) { return v.isObject(); }},
};

struct Readings {
    std::optional<bool> boolean;
    std::optional<qint64> integer;
    std::optional<double> number;
    std::optional<QString> text;
    std::optional<QStringList> textArray;
    std::optional<QDateTime> date;
};

Readings readAll(const Preferences& store, const QString& key) {
    return {store.boolean(key), store.integer(key),   store.number(key),
            store.text(key),    store.textArray(key), store.date(key)};
}

void expectOnlyItsOwnReaderAnswers(const char* kind, const Readings& r) {
    const std::string name = kind;
    EXPECT_EQ(r.boolean, name == "boolean" ? std::optional(true) : std::nullopt);
    // An integer is also a number; nothing else is either.
    EXPECT_EQ(r.integer, name == "integer" ? std::optional<qint64>(1024) : std::nullopt);
    if (name == "integer")
        EXPECT_EQ(r.number, std::optional(1024.0));
    else if (name == "number")
        EXPECT_EQ(r.number, std::optional(0.85));
    else
        EXPECT_EQ(r.number, std::nullopt);
    EXPECT_EQ(r.text, name == "text" ? std::optional(QStringLiteral("english")) : std::nullopt);
    EXPECT_EQ(r.textArray, name == "textArray"
                               ? std::optional(QStringList{"/sdcard/DCIM", "/sdcard/Фото"})
                               : std::nullopt);
    EXPECT_EQ(r.date, name == "date" ? std::optional(installDate) : std::nullopt);
}

} // namespace

TEST(Preferences, eachKindRoundTripsWithItsTypeInMemoryOnDiskAndInANewStore) {
    for (const StoredKind& kind : storedKinds) {
        SCOPED_TRACE(kind.name);
        QTemporaryDir directory;
        const QString path = directory.filePath("nested/preferences.json");
        {
            Preferences store(path);
            kind.write(store, QStringLiteral("key"));
            expectOnlyItsOwnReaderAnswers(kind.name, readAll(store, QStringLiteral("key")));
        }
        EXPECT_TRUE(kind.storedAsJson(storedObject(path).value("key")));
        const Preferences reopened(path);
        expectOnlyItsOwnReaderAnswers(kind.name, readAll(reopened, QStringLiteral("key")));
    }
}

TEST(Preferences, missingKeyGivesNoValueToEveryReader) {
    FreshPreferences fresh;
    const Readings r = readAll(fresh.store(), QStringLiteral("thumbnailCacheLimitMB"));
    EXPECT_FALSE(fresh.store().contains(QStringLiteral("thumbnailCacheLimitMB")));
    EXPECT_FALSE(r.boolean || r.integer || r.number || r.text || r.textArray || r.date);
}

TEST(Preferences, writesReachTheFileAtOnceAndRemoveDeletes) {
    FreshPreferences fresh;
    fresh.store().setBoolean(QStringLiteral("legacyAppCleanupPrompted"), true);
    fresh.store().setText(QStringLiteral("analyticsInstallID"), QStringLiteral("retired"));
    EXPECT_TRUE(storedObject(fresh.filePath()).value("legacyAppCleanupPrompted").isBool());

    fresh.store().remove(QStringLiteral("analyticsInstallID"));
    EXPECT_FALSE(fresh.store().contains(QStringLiteral("analyticsInstallID")));
    EXPECT_FALSE(storedObject(fresh.filePath()).contains("analyticsInstallID"));
    EXPECT_TRUE(storedObject(fresh.filePath()).contains("legacyAppCleanupPrompted"));
}

TEST(Preferences, handWrittenFileReadsWithJsonTypes) {
    struct Case {
        const char* json;
        std::function<void(const Preferences&)> check;
    };
    const Case cases[] = {
        // A whole number written with a fraction is still an integer; 300.5 is not.
        {R"({"k": 3.0})", [](const Preferences& p) { EXPECT_EQ(p.integer("k"), 3); }},
        {R"({"k": 300.5})", [](const Preferences& p) { EXPECT_EQ(p.integer("k"), std::nullopt); }},
        // A text "true" is not a Boolean.
        {R"({"k": "true"})", [](const Preferences& p) { EXPECT_EQ(p.boolean("k"), std::nullopt); }},
        // One non-text element makes the whole array unreadable as texts.
        {R"({"k": ["/sdcard", 5]})",
         [](const Preferences& p) { EXPECT_EQ(p.textArray("k"), std::nullopt); }},
        {R"({"k": []})", [](const Preferences& p) { EXPECT_EQ(p.textArray("k"), QStringList()); }},
        {R"({"k": {"$date": "not a date"}})",
         [](const Preferences& p) { EXPECT_EQ(p.date("k"), std::nullopt); }},
        {R"({"k": null})", [](const Preferences& p) { EXPECT_EQ(p.text("k"), std::nullopt); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        QTemporaryDir directory;
        const QString path = directory.filePath("preferences.json");
        writeFile(path, c.json);
        c.check(Preferences(path));
    }
}

TEST(Preferences, unreadableFileGivesNoValuesAndNoCrash) {
    for (const QByteArray& content :
         {QByteArray("{not json"), QByteArray("[1, 2]"), QByteArray("\xff\xfe garbage", 11)}) {
        SCOPED_TRACE(content.toStdString());
        QTemporaryDir directory;
        const QString path = directory.filePath("preferences.json");
        writeFile(path, content);
        Preferences store(path);
        EXPECT_FALSE(store.contains(QStringLiteral("selectedAppLanguage")));
        store.setText(QStringLiteral("selectedAppLanguage"), QStringLiteral("english"));
        EXPECT_EQ(store.text(QStringLiteral("selectedAppLanguage")), QStringLiteral("english"));
        // The next write replaces the unreadable file, so the choice survives a restart.
        EXPECT_EQ(storedObject(path).value("selectedAppLanguage").toString(), "english");
    }
}

TEST(Preferences, unwritableLocationKeepsValuesForTheRun) {
    QTemporaryDir directory;
    writeFile(directory.filePath("occupied"), "a file where a folder should be");
    Preferences store(directory.filePath("occupied/preferences.json"));
    store.setBoolean(QStringLiteral("thumbnailPreloadingEnabled"), false);
    EXPECT_EQ(store.boolean(QStringLiteral("thumbnailPreloadingEnabled")), false);
}

TEST(Preferences, freshStoreStandsInForTheStandardOneAndNests) {
    Preferences* const user = &Preferences::standard();
    {
        FreshPreferences outer;
        EXPECT_EQ(&Preferences::standard(), &outer.store());
        Preferences::standard().setText(QStringLiteral("selectedAppTheme"), QStringLiteral("dark"));
        {
            FreshPreferences inner;
            EXPECT_EQ(&Preferences::standard(), &inner.store());
            EXPECT_FALSE(Preferences::standard().contains(QStringLiteral("selectedAppTheme")));
        }
        EXPECT_EQ(Preferences::standard().text(QStringLiteral("selectedAppTheme")),
                  QStringLiteral("dark"));
    }
    EXPECT_EQ(&Preferences::standard(), user);
}

TEST(Preferences, standardFileHonoursXdgConfigHome) {
    QTemporaryDir configuration;
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configuration.path().toUtf8());
    EXPECT_EQ(Preferences::standardFilePath(),
              configuration.filePath("app.pavrel.Pavrel/preferences.json"));
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
}
