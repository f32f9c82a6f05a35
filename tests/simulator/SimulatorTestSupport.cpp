#include "SimulatorTestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

QByteArray readHostFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeHostFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(content);
    }
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; i += 4) {
        const quint32 value = QRandomGenerator::global()->generate();
        for (qsizetype j = 0; j < 4 && i + j < size; ++j) {
            bytes[i + j] = static_cast<char>((value >> (8 * j)) & 0xff);
        }
    }
    return bytes;
}

QString shellQuoted(const QString& path) {
    QString quoted = path;
    quoted.replace(QStringLiteral("'"), QStringLiteral("'\\''"));
    return QStringLiteral("'") + quoted + QStringLiteral("'");
}

std::unique_ptr<QProcess> startAdb(const DeviceSimulatorFixture& phone,
                                   const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    process->start(phone.adbPath(),
                   QStringList{QStringLiteral("-P"), QString::number(phone.adbServerPort())} +
                       arguments);
    process->waitForStarted();
    return process;
}

SyncProbe::SyncProbe(const DeviceSimulatorFixture& phone) {
    socket_.connectToHost(QHostAddress::LocalHost, phone.adbServerPort());
    connected_ = socket_.waitForConnected(5000) &&
                 sendServiceRequest("host:transport:" + phone.serial().toUtf8()) &&
                 sendServiceRequest("sync:");
}

bool SyncProbe::sendServiceRequest(const QByteArray& service) {
    socket_.write(QByteArray::number(service.size(), 16).rightJustified(4, '0') + service);
    return read(4) == "OKAY";
}

QByteArray SyncProbe::request(const char* id, const QByteArray& path, qsizetype replySize) {
    QByteArray message(id, 4);
    const quint32 length = qToLittleEndian(static_cast<quint32>(path.size()));
    message.append(reinterpret_cast<const char*>(&length), 4);
    message.append(path);
    socket_.write(message);
    return read(replySize);
}

QByteArray SyncProbe::read(qsizetype size) {
    QByteArray data;
    while (data.size() < size) {
        if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(10000)) {
            break;
        }
        data += socket_.read(size - data.size());
    }
    return data;
}

quint32 littleEndian32(const QByteArray& bytes, qsizetype offset) {
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0;
}

quint64 littleEndian64(const QByteArray& bytes, qsizetype offset) {
    return offset + 8 <= bytes.size() ? qFromLittleEndian<quint64>(bytes.constData() + offset) : 0;
}

void SharedPhoneTest::startPhone(DeviceSimulatorFixture::Options options) {
    auto started = std::make_unique<DeviceSimulatorFixture>(std::move(options));
    try {
        started->start();
        phone = std::move(started);
    } catch (const std::exception& error) {
        startError = error.what();
    }
}
