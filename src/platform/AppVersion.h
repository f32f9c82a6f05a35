// The one version text the application shows and reports.
#pragma once

#include "AppBundle.h"

#include <QString>

// "DisplayVersion" of the bundle's GitVersion.plist when present and non-empty; otherwise the
// first component of CFBundleShortVersionString, ".", and CFBundleVersion ("2.4.1" + "318" → "2.318").
QString displayVersion(const AppBundle& bundle = AppBundle::main());
