// Where the application keeps its own files: per-user data and caches, both under
// the bundle identifier and both honouring the XDG variables on Linux.
#pragma once

#include <QString>

inline constexpr auto bundleIdentifier = "app.pavrel.Pavrel";

// The user's Application Support folder for this application (created on demand by callers).
QString applicationSupportDirectory();

// The user's Caches folder for this application.
QString cachesDirectory();
