// The folder the sample phone is written into: writes files with fixed modification times,
// so that two runs produce the same tree, and gives folders the time of their newest entry.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class SampleTree {
public:
    explicit SampleTree(QString root);

    const QString& root() const { return root_; }

    // `relativePath` under the root, its parent folders created; throws std::runtime_error.
    QString prepare(const QString& relativePath) const;

    void writeFile(const QString& relativePath, const QByteArray& content,
                   const QDateTime& modified) const;
    void makeFolder(const QString& relativePath) const;
    void setModified(const QString& relativePath, const QDateTime& modified) const;

    // Every folder gets the time of its newest entry; an empty one gets `emptyFolderTime`.
    void settleFolderTimes(const QDateTime& emptyFolderTime) const;

private:
    QString root_;
};
