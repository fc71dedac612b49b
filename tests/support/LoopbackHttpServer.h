#pragma once

#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

// A small HTTP/1.1 server on 127.0.0.1: records every request and answers it at once with the
// set status and body, holds it for a later answer(), never answers, or trickles a 200 answer
// one body byte every 50 ms.
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
    enum Mode { Answer, Hold, Silent, Trickle };

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

    static void answer(QTcpSocket* socket, int status, const QByteArray& body) {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Failed") +
                      "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    static void trickle(QTcpSocket* socket, const QByteArray& body) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n");
        auto* timer = new QTimer(socket);
        auto sent = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, body, sent] {
            if (*sent < body.size())
                socket->write(body.mid((*sent)++, 1));
        });
        timer->start(50);
    }

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
            trickle(socket, body);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
