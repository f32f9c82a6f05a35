// The user's preferences store: typed values under flat keys, each change written at once.
// On macOS the native store; elsewhere a typed JSON file in the user's configuration folder.
#pragma once

#include <QDateTime>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class Preferences {
public:
    // A store kept in the JSON file at `filePath` (created on the first write).
    explicit Preferences(const QString& filePath);
    ~Preferences();
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    // The user's standard store. Callers look it up at each use instead of keeping it,
    // because tests put a fresh store in its place (FreshPreferences).
    static Preferences& standard();

    // The location of the standard store's file on systems without a native store.
    static QString standardFilePath();

    bool contains(const QString& key) const;
    // The stored value as it is, of whatever type; invalid when absent.
    QVariant value(const QString& key) const;

    // Each typed reader gives no value when the key is absent or holds another type.
    std::optional<bool> boolean(const QString& key) const;
    // Whole numbers only; a number with a fraction is not an integer.
    std::optional<qint64> integer(const QString& key) const;
    // Any number.
    std::optional<double> number(const QString& key) const;
    std::optional<QString> text(const QString& key) const;
    // An array whose elements are all texts.
    std::optional<QStringList> textArray(const QString& key) const;
    std::optional<QDateTime> date(const QString& key) const;

    void setBoolean(const QString& key, bool value);
    void setInteger(const QString& key, qint64 value);
    void setNumber(const QString& key, double value);
    void setText(const QString& key, const QString& value);
    void setTextArray(const QString& key, const QStringList& value);
    void setDate(const QString& key, const QDateTime& value);
    void remove(const QString& key);

private:
    friend class FreshPreferences;
    explicit Preferences(std::unique_ptr<QSettings> settings);

    // Set by FreshPreferences while a test's store stands in for the user's.
    static Preferences* standardOverride_;

    // Writing the store has no failure path towards the user: a write that cannot reach
    // the disk leaves the value in memory for this run.
    void store(const QString& key, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
};
