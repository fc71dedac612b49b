#pragma once

#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP/1.1 server on 127.0.0.1: records every request and answers it at once with the
// set status and body, holds it for a later answer(), never answers, trickles the answer out
// one byte every 50 ms (so a transfer never falls silent), or answers with the body marked
// "Content-Encoding: gzip" whatever the request asked for.
class LoopbackHttpServer {
public:
    struct Request {
        QByteArray method, path, headers, body;
        QByteArray header(const QByteArray& name) const {
            for (const QByteArray& line : headers.split('\n')) {
                const int colon = line.indexOf(':');
                if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                    return line.mid(colon + 1).trimmed();
            }
            return QByteArray();
        }
    };
    enum Mode { Answer, Hold, Silent, Trickle, Gzip };

    Mode mode = Answer;
    int status = 200;
    QByteArray body;
    QList<Request> requests;
    QList<QTcpSocket*> held;

    LoopbackHttpServer() {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, &m_server, [this, socket] { read(socket); });
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    bool isListening() const { return m_server.isListening(); }
    void close() { m_server.close(); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    Request last() const { return requests.value(requests.size() - 1); }

    static void answer(QTcpSocket* socket, int status, const QByteArray& body,
                       const QByteArray& headers = {}) {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Failed") +
                      "\r\nContent-Type: application/json\r\nConnection: close\r\n" + headers +
                      "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    void read(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const int lineEnd = buffer.indexOf("\r\n");
        const QList<QByteArray> requestLine = buffer.left(lineEnd).split(' ');
        Request request{
            requestLine.value(0), requestLine.value(1), buffer.mid(lineEnd + 2, end - lineEnd - 2), {}};
        const int length = request.header("Content-Length").toInt();
        if (buffer.size() < end + 4 + length)
            return;
        request.body = buffer.mid(end + 4, length);
        m_buffers.remove(socket);
        requests << request;
        if (mode == Answer)
            answer(socket, status, body);
        else if (mode == Hold)
            held << socket;
        else if (mode == Trickle)
            trickle(socket);
        else if (mode == Gzip)
            answer(socket, status, body, "Content-Encoding: gzip\r\n");
    }

    void trickle(QTcpSocket* socket) {
        socket->write("HTTP/1.1 " + QByteArray::number(status) +
                      " OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n");
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, rest = body]() mutable {
            if (!rest.isEmpty())
                socket->write(rest.left(1));
            rest.remove(0, 1);
        });
        timer->start(50);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
