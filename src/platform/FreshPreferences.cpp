#include "FreshPreferences.h"

#include <QDir>

FreshPreferences::FreshPreferences()
    : store_(std::make_unique<Preferences>(
          QDir(directory_.path()).filePath(QStringLiteral("preferences.json")))),
      previous_(Preferences::standardOverride_) {
    Preferences::standardOverride_ = store_.get();
}

FreshPreferences::~FreshPreferences() {
    Preferences::standardOverride_ = previous_;
}

QString FreshPreferences::filePath() const {
    return QDir(directory_.path()).filePath(QStringLiteral("preferences.json"));
}
