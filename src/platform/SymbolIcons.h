// The icons drawn for system symbol names ("folder.fill", "power", …): one table from each
// symbol name to an SVG of the bundled open icon set, served from the Qt resource system.
#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

// A qrc: address usable as a QML image source; empty for a symbol without an icon.
QUrl iconSource(const QString& symbolName);

// The resource path (":/icons/…") of the symbol's SVG; empty for a symbol without an icon.
QString iconResourcePath(const QString& symbolName);

// Every symbol name the table knows.
QStringList knownSymbolNames();

// The icon set's licence text, shown with the other third-party licences.
QString iconSetLicenseText();

// The table for QML: `SymbolIcons.source("folder.fill")`.
class SymbolIcons : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    static SymbolIcons& shared();

    Q_INVOKABLE QUrl source(const QString& symbolName) const { return iconSource(symbolName); }
};
