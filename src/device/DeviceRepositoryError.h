// The error of every device operation. Its description is computed when read, so it follows
// the interface language current at that moment.
#pragma once

#include <QString>
#include <QtGlobal>

#include <exception>

class DeviceRepositoryError : public std::exception {
public:
    enum class Case {
        connectionFailed,
        commandFailed,
        insufficientDeviceStorage,
        insufficientMacStorage,
        adbNotFound,
        noDevice,
        itemAlreadyExists,
    };

    static DeviceRepositoryError connectionFailed(const QString& message);
    static DeviceRepositoryError commandFailed(const QString& message);
    static DeviceRepositoryError insufficientDeviceStorage(qint64 required, qint64 available);
    static DeviceRepositoryError insufficientMacStorage(qint64 required, qint64 available);
    static DeviceRepositoryError adbNotFound();
    static DeviceRepositoryError noDevice();
    static DeviceRepositoryError itemAlreadyExists();

    Case errorCase() const { return m_case; }
    // The payload of connectionFailed and commandFailed; empty for the other cases.
    const QString& message() const { return m_message; }
    // The payload of the two storage cases; 0 for the other cases.
    qint64 required() const { return m_required; }
    qint64 available() const { return m_available; }

    QString description() const;
    // The case name only: messages may carry paths, and what() ends up in logs.
    const char* what() const noexcept override;

    bool operator==(const DeviceRepositoryError& other) const;

private:
    DeviceRepositoryError(Case errorCase, QString message, qint64 required, qint64 available);

    Case m_case;
    QString m_message;
    qint64 m_required;
    qint64 m_available;
};
