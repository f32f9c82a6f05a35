// A command runner whose answers a test writes: it records every argument list, and answers
// each run from a function of its arguments, optionally after awaiting a step of the test.
#pragma once

#include "ADBCommandRunning.h"

#include <QList>
#include <QStringList>

#include <functional>

class ScriptedRunner : public ADBCommandRunning {
public:
    using Answer = std::function<ADBCommandResult(const QStringList& arguments)>;
    // Runs before the answer: lets a run take time, emit output, or do what adb would do to
    // local files.
    using During =
        std::function<Task<void>(QStringList arguments, std::function<void(const QString&)>)>;

    Answer answer = [](const QStringList&) { return ADBCommandResult{}; };
    During during;
    QList<QStringList> calls;

    Task<ADBCommandResult> run(QStringList arguments,
                               std::function<void(const QString&)> onOutput = {}) override {
        // Like adb's runner: a task cancelled before the run starts no process.
        checkCancelled();
        calls.append(arguments);
        if (during) {
            co_await during(arguments, onOutput);
        }
        co_return answer(arguments);
    }

    // The shell command texts of the runs so far, in order.
    QStringList shellCommands() const {
        QStringList commands;
        for (const QStringList& call : calls) {
            if (call.size() == 4 && call.at(2) == QLatin1String("shell")) {
                commands.append(call.at(3));
            }
        }
        return commands;
    }
};

inline ADBCommandResult succeeded(const QByteArray& output = {}) {
    return {output, {}, 0};
}

inline ADBCommandResult failed(qint32 status, const QByteArray& error,
                               const QByteArray& output = {}) {
    return {output, error, status};
}

// The shell command text of a run, or empty for other runs.
inline QString shellCommandOf(const QStringList& arguments) {
    return arguments.size() == 4 && arguments.at(2) == QLatin1String("shell") ? arguments.at(3)
                                                                              : QString();
}
