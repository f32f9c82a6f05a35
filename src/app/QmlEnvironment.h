// What every QML view can reach: the language and theme managers and the icon table.
#pragma once

class QQmlEngine;

void installQmlEnvironment(QQmlEngine& engine);
