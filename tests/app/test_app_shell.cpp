// The route from start-up to the connection or integrity-failure screen, as the window shows it.
#include "ADBIntegrityChecker.h"
#include "AppLanguageManager.h"
#include "AppViewModel.h"
#include "FakeBundle.h"
#include "FreshPreferences.h"
#include "QmlEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>
#include <atomic>
#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(PavrelPlugin)
Q_IMPORT_QML_PLUGIN(Pavrel_UiPlugin)

namespace {

const QByteArray adbContent = QByteArrayLiteral("#!/bin/sh\nexit 0\n");

// A bundle whose adb matches its digest unless `alter` is set.
std::unique_ptr<FakeBundle> makeBundle(bool alter) {
    auto fake = std::make_unique<FakeBundle>();
    fake->writeResource(QStringLiteral("adb-integrity.sha256"),
                        QCryptographicHash::hash(adbContent, QCryptographicHash::Sha256).toHex() + "\n");
    fake->writeExecutable(alter ? adbContent + "# patched\n" : adbContent);
    return fake;
}

class CountingChecker : public ADBIntegrityChecking {
public:
    explicit CountingChecker(const AppBundle& bundle) : checker_(bundle) {}
    ADBIntegrityResult verify() const override {
        ++calls;
        return checker_.verify();
    }
    mutable std::atomic<int> calls = 0;

private:
    ADBIntegrityChecker checker_;
};

bool waitForRoute(AppViewModel& viewModel, const QString& route) {
    return QTest::qWaitFor([&] { return viewModel.routeName() == route; }, 10000);
}

TEST(AppViewModelRoute, ValidAdbLeadsToTheConnectionScreenOnce) {
    auto fake = makeBundle(false);
    auto checker = std::make_shared<CountingChecker>(fake->bundle());
    AppViewModel viewModel(checker);
    EXPECT_EQ(viewModel.routeName(), "checkingIntegrity");

    viewModel.start();
    viewModel.start();
    ASSERT_TRUE(waitForRoute(viewModel, "connection"));
    viewModel.start();
    QTest::qWait(50);
    EXPECT_EQ(checker->calls, 1);
    EXPECT_EQ(viewModel.failureCode(), "");
}

TEST(AppViewModelRoute, AlteredAdbIsTerminal) {
    auto fake = makeBundle(true);
    AppViewModel viewModel(std::make_shared<ADBIntegrityChecker>(fake->bundle()));
    viewModel.start();
    ASSERT_TRUE(waitForRoute(viewModel, "integrityFailure"));
    EXPECT_EQ(viewModel.failure(), ADBIntegrityFailure::checksumMismatch);
    EXPECT_EQ(viewModel.failureCode(), "ADB_CHECKSUM_MISMATCH");
}

TEST(AppViewModelRoute, GoneViewModelIgnoresTheLateResult) {
    auto fake = makeBundle(false);
    auto* viewModel = new AppViewModel(std::make_shared<ADBIntegrityChecker>(fake->bundle()));
    viewModel->start();
    delete viewModel;
    QTest::qWait(200);
}

// Loads the real window over a view model and waits for the route's screen.
class WindowTest : public testing::Test {
protected:
    QQuickWindow* load(bool alteredAdb) {
        bundle_ = makeBundle(alteredAdb);
        viewModel_ = std::make_unique<AppViewModel>(std::make_shared<ADBIntegrityChecker>(bundle_->bundle()));
        installQmlEnvironment(engine_);
        engine_.setInitialProperties(
            {{QStringLiteral("viewModel"), QVariant::fromValue(static_cast<QObject*>(viewModel_.get()))}});
        engine_.load(QUrl(QStringLiteral("qrc:/Pavrel/Main.qml")));
        if (engine_.rootObjects().isEmpty()) {
            return nullptr;
        }
        return qobject_cast<QQuickWindow*>(engine_.rootObjects().first());
    }

    static QQuickItem* findItem(QQuickItem* root, const QString& objectName) {
        if (root->objectName() == objectName) {
            return root;
        }
        for (QQuickItem* child : root->childItems()) {
            if (QQuickItem* found = findItem(child, objectName)) {
                return found;
            }
        }
        return nullptr;
    }

    static QString textOf(QQuickWindow* window, const char* objectName) {
        QQuickItem* item = findItem(window->contentItem(), QString::fromLatin1(objectName));
        return item ? item->property("text").toString() : QString();
    }

    // Saves what the window shows, for people to look at.
    static void saveScreenshot(QQuickWindow* window, const QString& name) {
        QTest::qWait(400); // let the route's fade finish
        const QString dir = QDir::current().filePath(QStringLiteral("screenshots"));
        QDir().mkpath(dir);
        window->grabWindow().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

    FreshPreferences preferences_;
    std::unique_ptr<FakeBundle> bundle_;
    // Outlives the engine, whose bindings read it until the window is gone.
    std::unique_ptr<AppViewModel> viewModel_;
    QQmlApplicationEngine engine_;
};

TEST_F(WindowTest, FailureScreenShowsTheDiagnosticCodeInBothLanguages) {
    QQuickWindow* window = load(true);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->width(), 1120);
    EXPECT_EQ(window->height(), 720);
    EXPECT_EQ(window->minimumSize(), QSize(940, 620));
    ASSERT_TRUE(waitForRoute(*viewModel_, "integrityFailure"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !textOf(window, "diagnosticCode").isEmpty(); }, 5000));

    AppLanguageManager::shared().setCurrent(AppLanguage::russian);
    EXPECT_EQ(textOf(window, "diagnosticCode"), QString::fromUtf8("Код диагностики: ADB_CHECKSUM_MISMATCH"));
    saveScreenshot(window, QStringLiteral("integrity-failure-ru"));
    AppLanguageManager::shared().setCurrent(AppLanguage::english);
    EXPECT_EQ(textOf(window, "diagnosticCode"), "Diagnostic code: ADB_CHECKSUM_MISMATCH");
    EXPECT_EQ(textOf(window, "quitButton"), "Quit Application");
    saveScreenshot(window, QStringLiteral("integrity-failure-en"));
}

TEST_F(WindowTest, ValidAdbShowsTheConnectionScreen) {
    QQuickWindow* window = load(false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitForRoute(*viewModel_, "connection"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return findItem(window->contentItem(), "connectionScreen") != nullptr; }, 5000));
    saveScreenshot(window, QStringLiteral("connection"));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
