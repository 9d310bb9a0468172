#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace itm::test {

// A local stand-in for the register's web service: an HTTP server on
// 127.0.0.1 that records each request and answers it with the next queued
// reply (a status, headers and a body, at once or a piece at a time), or
// holds the connection open without a word, or streams without end. With
// Secure, it speaks TLS with a self-signed certificate no client trusts.
class StandInRegister : public QObject
{
public:
    struct Request
    {
        QByteArray method;
        QByteArray path;
        QByteArray headers;
        QByteArray body;
    };

    enum Transport
    {
        Plain,
        Secure,
    };

    explicit StandInRegister(Transport transport = Plain)
    {
        if (transport == Secure) {
            auto server = std::make_unique<QSslServer>();
            QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
            tls.setLocalCertificate(QSslCertificate(fixture("tls/selfsigned.crt")));
            tls.setPrivateKey(QSslKey(fixture("tls/selfsigned.key"), QSsl::Rsa));
            tls.setPeerVerifyMode(QSslSocket::VerifyNone);
            server->setSslConfiguration(tls);
            m_server = std::move(server);
        } else {
            m_server = std::make_unique<QTcpServer>();
        }
        m_secure = transport == Secure;
        connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &StandInRegister::accept);
        m_server->listen(QHostAddress::LocalHost);
    }

    QUrl address() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2/api/v9/tva")
                        .arg(m_secure ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(m_server->serverPort()));
    }

    void reply(int status, const QByteArray& body, const QByteArray& headers = {})
    {
        m_replies.append({ status, body, headers, Kind::Whole });
    }
    // A recorded answer from tests/taxregister/answers.
    void replyWithFile(const char* name, int status = 200) { reply(status, answer(name)); }
    void neverAnswer() { m_replies.append({ 0, {}, {}, Kind::Silent }); }
    void redirect(int status, const QByteArray& location) { reply(status, {}, "Location: " + location + "\r\n"); }
    // The body announced whole, sent a few bytes every 50 ms.
    void replySlowly(const QByteArray& body) { m_replies.append({ 200, body, {}, Kind::Slow }); }
    // A body of no announced length that never ends.
    void replyEndlessly() { m_replies.append({ 200, {}, {}, Kind::Endless }); }

    static QByteArray answer(const char* name) { return fixture(QByteArray("answers/") + name); }

    const QList<Request>& requests() const { return m_requests; }
    // Its pendingConnectionAvailable is the first sign of a request.
    QTcpServer& listener() { return *m_server; }

private:
    enum class Kind
    {
        Whole,
        Silent,
        Slow,
        Endless,
    };
    struct Reply
    {
        int status;
        QByteArray body;
        QByteArray headers;
        Kind kind;
    };

    static QByteArray fixture(const QByteArray& name)
    {
        QFile file(QStringLiteral(ITM_SOURCE_DIR "/tests/taxregister/") + QString::fromLatin1(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void accept()
    {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void read(QTcpSocket* socket)
    {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype headerEnd = pending.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        const QByteArray head = pending.left(headerEnd);
        qsizetype length = 0;
        for (const QByteArray& line : head.split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        if (pending.size() < headerEnd + 4 + length)
            return;
        const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
        m_requests.append({ requestLine.value(0), requestLine.value(1), head, pending.mid(headerEnd + 4, length) });
        m_pending.remove(socket);
        const Reply reply
            = m_replies.isEmpty() ? Reply { 500, "no reply queued", {}, Kind::Whole } : m_replies.takeFirst();
        if (reply.kind == Kind::Silent)
            return;
        const QByteArray lengthHeader = reply.kind == Kind::Endless
            ? QByteArray()
            : "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Stand-in\r\nContent-Type: application/json\r\n"
            + reply.headers + lengthHeader + "Connection: close\r\n\r\n");
        if (reply.kind == Kind::Whole) {
            socket->write(reply.body);
            socket->disconnectFromHost();
            return;
        }
        stream(socket, reply);
    }

    // Writes the body a piece at a time (Slow), or pieces without end as fast
    // as the client reads (Endless), until the client goes.
    void stream(QTcpSocket* socket, const Reply& reply)
    {
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<qsizetype>(0);
        const bool endless = reply.kind == Kind::Endless;
        timer->setInterval(endless ? 1 : 50);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent, endless, body = reply.body] {
            if (socket->state() != QAbstractSocket::ConnectedState) {
                timer->stop();
                return;
            }
            if (endless) {
                if (socket->bytesToWrite() < 256 * 1024)
                    socket->write(QByteArray(64 * 1024, ' '));
                return;
            }
            socket->write(body.mid(*sent, 16));
            *sent += 16;
            if (*sent >= body.size()) {
                timer->stop();
                socket->disconnectFromHost();
            }
        });
        timer->start();
    }

    std::unique_ptr<QTcpServer> m_server;
    bool m_secure = false;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<Reply> m_replies;
    QList<Request> m_requests;
};

} // namespace itm::test
