// The sample phone's place in the build tree and the stamp beside it that says which
// generator wrote it, so that the tree is written again only when missing or outdated.
#pragma once

#include <QByteArray>
#include <QString>

class GeneratedFolder {
public:
    GeneratedFolder(QString path, QByteArray generatorFingerprint);

    bool isUpToDate() const;

    // A fresh, empty folder to write into, beside the final one; throws std::runtime_error.
    QString beginWriting() const;

    // Replaces the old folder (only one this tool wrote) with the written one, then stamps it.
    void finishWriting() const;

private:
    QString stampPath() const;
    QString partialPath() const;

    QString path_;
    QByteArray fingerprint_;
};

// SHA-256 of the running executable, in hex.
QByteArray executableFingerprint();
