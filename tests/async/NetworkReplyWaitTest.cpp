// Awaiting network replies from a loopback server: a finished reply resumes the task, a
// cancelled task aborts its reply.
#include "NetworkReplyWait.h"
#include "BlockingWait.h"
#include "CancelledError.h"

#include <gtest/gtest.h>

#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

namespace {

// Accepts connections and answers each with `response`, or stays silent when it is empty.
class LoopbackServer {
public:
    explicit LoopbackServer(QByteArray response) : response_(std::move(response)) {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections_;
                if (!response_.isEmpty()) {
                    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                     [socket, this] { socket->write(response_); });
                }
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }

    QUrl url() const { return QUrl(QString("http://127.0.0.1:%1/").arg(server_.serverPort())); }
    int connections() const { return connections_; }

private:
    QTcpServer server_;
    QByteArray response_;
    int connections_ = 0;
};

} // namespace

TEST(AsyncNetworkReply, AFinishedReplyResumesTheTask) {
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(server.url())));
    blockingWait(waitForReply(*reply));
    EXPECT_TRUE(reply->isFinished());
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    EXPECT_EQ(reply->readAll(), "ok");
}

TEST(AsyncNetworkReply, CancellingTheTaskAbortsTheReply) {
    LoopbackServer silentServer({});
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(silentServer.url())));
    auto task = spawn(waitForReply(*reply));
    processEventsUntil([&] { return silentServer.connections() > 0; });
    task.cancel();
    EXPECT_THROW(blockingWait(task), CancelledError);
    EXPECT_TRUE(reply->isFinished());
    EXPECT_EQ(reply->error(), QNetworkReply::OperationCanceledError);
}
