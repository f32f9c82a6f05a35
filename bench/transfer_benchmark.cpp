// Times ADBDeviceRepository against plain adb on one simulated phone and prints each pair with
// its ratio. The repository does more than adb alone (temporary names, swaps, size checks, a
// media scan), and this shows what that costs.
#include "ADBCommandRunner.h"
#include "ADBDeviceRepository.h"
#include "ADBExecutableResolver.h"
#include "BlockingWait.h"
#include "DeviceSimulatorFixture.h"
#include "FakeBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

const QString systemAdb = QStringLiteral("/usr/lib/android-sdk/platform-tools/adb");

void writeNoise(const QString& path, qint64 size, QRandomGenerator& generator) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 written = 0; written < size; written += block.size()) {
        generator.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        file.write(block.constData(), std::min<qint64>(block.size(), size - written));
    }
}

double secondsOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

void report(const char* what, double repository, double plain) {
    std::printf("%-44s repository %8.2f s   adb %8.2f s   ratio %6.2f\n", what, repository, plain,
                repository / plain);
    std::fflush(stdout);
}

void plainAdb(const DeviceSimulatorFixture& phone, const QStringList& arguments) {
    const auto result =
        phone.adb(QStringList{QStringLiteral("-s"), phone.serial()} + arguments, {}, 3'600'000);
    if (!result.finished || result.exitStatus != 0) {
        throw std::runtime_error("adb failed: " + result.standardError.toStdString());
    }
}

DeviceFile folderItem(const QString& path) {
    return {path.section('/', -1), path, true, std::nullopt, std::nullopt};
}

} // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication application(argc, argv);
    try {
        DeviceSimulatorFixture::Options options;
        options.adbPath = systemAdb;
        DeviceSimulatorFixture phone(options);
        phone.start();
        FakeBundle bundle;
        QFile binary(systemAdb);
        if (!binary.open(QIODevice::ReadOnly)) {
            throw std::runtime_error("cannot read adb");
        }
        bundle.writeExecutable(binary.readAll());
        ADBCommandRunner runner(std::make_shared<ADBExecutableResolver>(bundle.bundle()));
        ADBDeviceRepository repository(runner);
        const AndroidDevice device{phone.serial(), QStringLiteral("Simulated Phone"),
                                   AndroidDevice::State::connected, ConnectionMethod::wifi};
        QTemporaryDir local;
        QRandomGenerator generator(20240601);
        const QString root = phone.root();

        // A 256 MiB file.
        const QString big = local.filePath(QStringLiteral("big.bin"));
        writeNoise(big, 256LL << 20, generator);
        report("256 MiB file, upload", secondsOf([&] {
                   blockingWait(repository.upload(QUrl::fromLocalFile(big), "/sdcard", "big.bin",
                                                  device, std::nullopt, {}));
               }),
               secondsOf([&] {
                   plainAdb(phone, {"push", big, "/sdcard/plain-big.bin"});
               }));
        const DeviceFile bigOnPhone{"big.bin", "/sdcard/big.bin", false, 256LL << 20, {}};
        report("256 MiB file, download", secondsOf([&] {
                   blockingWait(repository.download(
                       bigOnPhone,
                       DownloadDestination::directory(QUrl::fromLocalFile(local.path())),
                       "down.bin", device, std::nullopt, {}));
               }),
               secondsOf([&] {
                   plainAdb(phone, {"pull", "/sdcard/plain-big.bin", local.filePath("plain.bin")});
               }));
        QFile::remove(root + "/big.bin");
        QFile::remove(root + "/plain-big.bin");

        // 2,000 files of 4 to 200 KiB in 20 folders.
        const QString tree = local.filePath(QStringLiteral("tree"));
        qint64 treeBytes = 0;
        for (int index = 0; index < 2000; ++index) {
            const qint64 size = generator.bounded(4 * 1024, 200 * 1024 + 1);
            treeBytes += size;
            writeNoise(
                QStringLiteral("%1/folder %2/file %3.bin").arg(tree).arg(index % 20).arg(index),
                size, generator);
        }
        std::printf("(folder of 2,000 files: %.1f MiB)\n", treeBytes / 1048576.0);
        report("2,000 files, upload", secondsOf([&] {
                   blockingWait(repository.upload(QUrl::fromLocalFile(tree), "/sdcard", "tree",
                                                  device, std::nullopt, {}));
               }),
               secondsOf([&] {
                   plainAdb(phone, {"push", tree, "/sdcard/plain-tree"});
               }));
        report("2,000 files, download", secondsOf([&] {
                   blockingWait(repository.download(
                       folderItem("/sdcard/tree"),
                       DownloadDestination::directory(QUrl::fromLocalFile(local.filePath("down"))),
                       "tree", device, std::nullopt, {}));
               }),
               secondsOf([&] {
                   plainAdb(phone, {"pull", "/sdcard/plain-tree", local.filePath("plain-down")});
               }));

        // A folder of 10,000 entries.
        const QString crowded = root + "/crowded";
        QDir().mkpath(crowded);
        for (int index = 0; index < 10'000; ++index) {
            QFile file(QStringLiteral("%1/IMG_%2.jpg").arg(crowded).arg(index));
            if (!file.open(QIODevice::WriteOnly)) {
                throw std::runtime_error("cannot create the crowded folder");
            }
        }
        qsizetype listed = 0;
        report("listing 10,000 entries", secondsOf([&] {
                   listed = blockingWait(repository.listFiles("/sdcard/crowded", device)).size();
               }),
               secondsOf([&] {
                   plainAdb(phone, {"shell", "ls -la /sdcard/crowded"});
               }));
        if (listed != 10'000) {
            throw std::runtime_error("the listing lost entries");
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "benchmark failed: %s\n", error.what());
        return 1;
    }
    return 0;
}
