// A failure of the computer's file system during a transfer: a folder that cannot be created,
// an item that cannot be moved into place or removed.
#pragma once

#include <QString>

#include <exception>

class LocalFileError : public std::exception {
public:
    enum class Operation { createFolder, move, remove };

    LocalFileError(Operation operation, QString itemName);

    Operation operation() const { return m_operation; }
    // Computed when read, in the interface language of that moment.
    QString description() const;
    // The operation only: names stay out of anything that may reach a log.
    const char* what() const noexcept override;

private:
    Operation m_operation;
    QString m_itemName;
};
