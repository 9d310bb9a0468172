#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace itm::test {

// A local stand-in for the register's web service: an HTTP server on
// 127.0.0.1 that records each request and answers it with the next queued
// reply (a status and a body), or holds the connection open without a word.
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

    StandInRegister()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &StandInRegister::accept);
        m_server.listen(QHostAddress::LocalHost);
    }

    QUrl address() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/api/v9/tva").arg(m_server.serverPort())); }

    void reply(int status, const QByteArray& body) { m_replies.append({ status, body, false }); }
    // A recorded answer from tests/taxregister/answers.
    void replyWithFile(const char* name, int status = 200) { reply(status, answer(name)); }
    void neverAnswer() { m_replies.append({ 0, {}, true }); }

    static QByteArray answer(const char* name)
    {
        QFile file(QStringLiteral(ITM_SOURCE_DIR "/tests/taxregister/answers/") + QString::fromLatin1(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    const QList<Request>& requests() const { return m_requests; }

private:
    struct Reply
    {
        int status;
        QByteArray body;
        bool silent;
    };

    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
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
        const Reply reply = m_replies.isEmpty() ? Reply { 500, "no reply queued", false } : m_replies.takeFirst();
        if (reply.silent)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Stand-in\r\nContent-Type: application/json\r\n"
            + "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n"
            + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_pending;
    QList<Reply> m_replies;
    QList<Request> m_requests;
};

} // namespace itm::test
