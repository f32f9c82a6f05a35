// The export run from the settings sheet: asks where to save the current session with a
// save dialog, then writes it there. Kept apart so that only this part needs Qt Widgets.
#pragma once

#include "DiagnosticExport.h"

// The path the user picks in a save dialog that suggests `suggestedFileName`; empty on cancel.
QString askForExportDestination(const QString& suggestedFileName);

// Exports the shared log's current session; the outcome's message is for the settings sheet.
DiagnosticExportOutcome exportCurrentSession();
