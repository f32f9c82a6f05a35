// The fields of `session.started`, the first line of every run's log.
#pragma once

#include "AppBundle.h"
#include "DiagnosticLine.h"

// app_version, adb_version and adb_revision from `bundle` ("unknown" without a readable adb
// manifest) and the operating system's name and version under the key `macos`.
DiagnosticFields sessionStartedFields(const AppBundle& bundle = AppBundle::main());
