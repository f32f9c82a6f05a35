#include "PhoneIntegration.h"

#include "ADBExecutableResolver.h"

#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>

namespace {

const QString systemAdb = QStringLiteral("/usr/lib/android-sdk/platform-tools/adb");

} // namespace

Task<ADBCommandResult> RecordingRunner::run(QStringList arguments,
                                            std::function<void(const QString&)> onOutput) {
    calls.append(arguments);
    co_return co_await m_inner.run(std::move(arguments), std::move(onOutput));
}

qsizetype RecordingRunner::count(const QString& command) const {
    qsizetype total = 0;
    for (const QStringList& call : calls) {
        total += call.size() > 2 && call.at(2) == command ? 1 : 0;
    }
    return total;
}

void PhoneIntegrationTest::SetUpTestSuite() {
    DeviceSimulatorFixture::Options options;
    options.adbPath = systemAdb;
    phone = std::make_unique<DeviceSimulatorFixture>(options);
    try {
        phone->start();
    } catch (const std::exception& error) {
        startError = error.what();
        phone.reset();
        return;
    }
    bundle = std::make_unique<FakeBundle>();
    QFile binary(systemAdb);
    if (!binary.open(QIODevice::ReadOnly)) {
        startError = "cannot read " + systemAdb.toStdString();
        return;
    }
    bundle->writeExecutable(binary.readAll());
    adb = std::make_unique<ADBCommandRunner>(
        std::make_shared<ADBExecutableResolver>(bundle->bundle()));
    runner = std::make_unique<RecordingRunner>(*adb);
    repository = std::make_unique<ADBDeviceRepository>(*runner);
    device = {phone->serial(), QStringLiteral("Simulated Phone"), AndroidDevice::State::connected,
              ConnectionMethod::wifi};
}

void PhoneIntegrationTest::TearDownTestSuite() {
    repository.reset();
    runner.reset();
    adb.reset();
    bundle.reset();
    phone.reset();
}

void PhoneIntegrationTest::SetUp() {
    ASSERT_TRUE(phone && repository) << startError;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_deviceFolder = QStringLiteral("/sdcard/") + QString::fromUtf8(test->test_suite_name()) +
                     QLatin1Char('-') + QString::fromUtf8(test->name());
    ASSERT_TRUE(QDir().mkpath(hostPath(m_deviceFolder)));
    ASSERT_TRUE(m_local.isValid());
    runner->calls.clear();
}

QString PhoneIntegrationTest::hostPath(const QString& devicePath) {
    return phone->root() + devicePath.mid(QStringLiteral("/sdcard").size());
}

void PhoneIntegrationTest::reconnect() {
    phone->adb({QStringLiteral("disconnect"), phone->serial()});
    phone->adb({QStringLiteral("connect"), phone->serial()});
    ASSERT_TRUE(phone->waitForState(QStringLiteral("device")));
}

QByteArray noiseBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(static_cast<quint32>(size));
    for (qsizetype index = 0; index < size; ++index) {
        bytes[index] = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

QStringList transferLeftovers(const QString& folder) {
    QStringList leftovers;
    QDirIterator iterator(folder,
                          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        if (iterator.fileName().contains(QLatin1String(".afm-"))) {
            leftovers.append(path);
        }
    }
    return leftovers;
}
