// A fresh, empty standard preferences store in a temporary file for as long as the object
// lives, so that tests never read or change the user's own preferences.
#pragma once

#include "Preferences.h"

#include <QTemporaryDir>

#include <memory>

class FreshPreferences {
public:
    FreshPreferences();
    ~FreshPreferences();
    FreshPreferences(const FreshPreferences&) = delete;
    FreshPreferences& operator=(const FreshPreferences&) = delete;

    // The fresh store, which is also Preferences::standard() meanwhile.
    Preferences& store() { return *store_; }
    // Its file, for tests that look at the stored form or open a second store on it.
    QString filePath() const;

private:
    QTemporaryDir directory_;
    std::unique_ptr<Preferences> store_;
    Preferences* previous_;
};
