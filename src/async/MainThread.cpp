#include "MainThread.h"

#include "CancellationToken.h"

#include <QCoreApplication>
#include <QThread>

namespace async_detail {

void runOnMainThread(std::function<void()> work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(application, std::move(work), Qt::QueuedConnection);
}

void postToMainThread(std::function<void()> work) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        work();
        return;
    }
    QMetaObject::invokeMethod(application, std::move(work), Qt::QueuedConnection);
}

void resumeTask(std::coroutine_handle<> handle) {
    CancellationToken* caller = currentToken();
    handle.resume();
    setCurrentToken(caller);
}

void postResumption(std::coroutine_handle<> handle) {
    postToMainThread([handle] { resumeTask(handle); });
}

} // namespace async_detail
