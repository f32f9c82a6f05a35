// Quoting of paths and names for the device's shell.
#pragma once

#include <QString>

// 'text' with each ' written as '\'' : "it's" becomes "'it'\''s'".
QString quote(const QString& text);
