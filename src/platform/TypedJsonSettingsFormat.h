// A QSettings file format that keeps each value's type: the settings are one JSON object,
// so a Boolean reads back as a Boolean, a number as a number and an array as an array.
#pragma once

#include <QSettings>

// The format, registered with QSettings on first use.
QSettings::Format typedJsonSettingsFormat();

// The codec behind the format, exposed for tests of the stored form.
bool readTypedJsonSettings(QIODevice& device, QSettings::SettingsMap& settings);
bool writeTypedJsonSettings(QIODevice& device, const QSettings::SettingsMap& settings);
