#include "ProcessRun.h"

#include "CancelledError.h"
#include "MainThread.h"
#include "ProcessLaunchError.h"

#include <QProcess>

namespace {

class ProcessAwaiter {
public:
    explicit ProcessAwaiter(QProcess& process) : process_(process) {}

    bool await_ready() {
        cancelled_ = isCurrentTaskCancelled();
        return cancelled_;
    }

    void await_suspend(std::coroutine_handle<> handle) {
        handle_ = handle;
        connections_[0] = QObject::connect(&process_, &QProcess::started, [this] {
            // A cancellation that came while the process was starting finds it not yet
            // running; it is stopped here, as soon as it runs.
            if (cancelled_) {
                process_.terminate();
            }
        });
        connections_[1] = QObject::connect(&process_, &QProcess::finished, [this] { end(); });
        connections_[2] =
            QObject::connect(&process_, &QProcess::errorOccurred, [this](QProcess::ProcessError e) {
                if (e == QProcess::FailedToStart) {
                    launchFailure_ = process_.errorString();
                    end();
                }
            });
        if (auto token = currentCancellationToken()) {
            cancellation_ = token->onCancel([this] {
                cancelled_ = true;
                if (process_.state() == QProcess::Running) {
                    process_.terminate();
                }
            });
        }
        process_.start();
    }

    void await_resume() const {
        if (cancelled_) {
            throw CancelledError();
        }
        if (!launchFailure_.isNull()) {
            throw ProcessLaunchError(launchFailure_.toStdString());
        }
    }

private:
    void end() {
        if (ended_) {
            return;
        }
        ended_ = true;
        for (const auto& connection : connections_) {
            QObject::disconnect(connection);
        }
        cancellation_.reset();
        async_detail::postResumption(handle_);
    }

    QProcess& process_;
    std::coroutine_handle<> handle_;
    QMetaObject::Connection connections_[3];
    CancellationToken::Registration cancellation_;
    QString launchFailure_;
    bool cancelled_ = false;
    bool ended_ = false;
};

} // namespace

Task<void> runProcess(QProcess& process) {
    co_await ProcessAwaiter(process);
}
