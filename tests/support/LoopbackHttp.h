#pragma once

// A small HTTP server on the loopback address for the fetch's tests: each path (with its query)
// answers as its route says, faults included (a 500 first, a cut-off body, a stalled connection,
// a redirect). A whole body honours a Range request for its first bytes, as archives do.
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <map>
#include <memory>

struct Route
{
    enum Kind
    {
        Whole,
        CutOff,   // announces the whole body, sends half of it and closes
        Stall,    // answers nothing and keeps the connection open
        Redirect, // 302 to `location`
        Endless,  // a body without a length that never ends: 64 KB after 64 KB while the client reads
        Announced // announces `location` as its Content-Length, then sends the body and stalls
    };
    Kind kind = Whole;
    QByteArray body;
    QByteArray location;
    int failFirst = 0; // answers 500 this many times first

    static Route whole(QByteArray body, int failFirst = 0) { return {Whole, std::move(body), {}, failFirst}; }
    static Route cutOff(QByteArray body) { return {CutOff, std::move(body), {}, 0}; }
    static Route stall() { return {Stall, {}, {}, 0}; }
    static Route redirect(QByteArray location) { return {Redirect, {}, std::move(location), 0}; }
    static Route endless() { return {Endless, {}, {}, 0}; }
    static Route announced(qint64 length, QByteArray body)
    {
        return {Announced, std::move(body), QByteArray::number(length), 0};
    }
};

class LoopbackHttp
{
public:
    LoopbackHttp()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++m_open;
                maxOpen = std::max(maxOpen, m_open);
                QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                    --m_open;
                    socket->deleteLater();
                });
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            }
        });
    }

    bool listening() const { return m_server.isListening(); }
    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    std::map<QByteArray, Route> routes; // by path
    std::map<QByteArray, int> asked;    // requests by path
    std::map<QByteArray, int> ranged;   // of them, Range requests
    QByteArray lastUserAgent;
    int maxOpen = 0;       // connections open at once, at most
    int answerDelayMs = 0; // how long each answer takes to start, as with a distant server

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& request = m_pending[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> lines = request.split('\n');
        const QByteArray path = lines.front().split(' ').value(1);
        qint64 rangeEnd = -1; // the last byte a "Range: bytes=0-N" asks for
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:"))
                lastUserAgent = line.mid(11).trimmed();
            if (line.toLower().startsWith("range: bytes=0-"))
                rangeEnd = line.mid(15).trimmed().toLongLong();
        }
        m_pending.erase(socket);
        ++asked[path];
        if (rangeEnd >= 0)
            ++ranged[path];
        if (answerDelayMs > 0) {
            QTimer::singleShot(answerDelayMs, socket,
                               [this, socket, path, rangeEnd] { answerFor(socket, path, rangeEnd); });
            return;
        }
        answerFor(socket, path, rangeEnd);
    }

    void answerFor(QTcpSocket* socket, const QByteArray& path, qint64 rangeEnd)
    {
        const auto it = routes.find(path);
        if (it == routes.end())
            return answer(socket, 404, "Not Found", "<html><body>Not Found</body></html>", "text/html");
        Route& route = it->second;
        if (route.failFirst > 0) {
            --route.failFirst;
            return answer(socket, 500, "Internal Server Error", "<html>oops</html>", "text/html");
        }
        switch (route.kind) {
        case Route::Whole:
            if (rangeEnd >= 0 && rangeEnd + 1 < route.body.size())
                return answer(socket, 206, "Partial Content", route.body.left(rangeEnd + 1), "image/jpeg");
            return answer(socket, 200, "OK", route.body, "image/jpeg");
        case Route::CutOff:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                          QByteArray::number(route.body.size()) + "\r\nConnection: close\r\n\r\n" +
                          route.body.left(route.body.size() / 2));
            socket->flush();
            socket->disconnectFromHost();
            return;
        case Route::Stall:
            return;
        case Route::Redirect:
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + route.location +
                          "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        case Route::Endless: {
            socket->write(
                "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n");
            const auto more = [socket] {
                if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 65536)
                    socket->write(QByteArray(65536, 'x'));
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
            more();
            return;
        }
        case Route::Announced:
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " + route.location +
                          "\r\nConnection: close\r\n\r\n" + route.body);
            return;
        }
    }

    static void answer(QTcpSocket* socket, int status, const char* reason, const QByteArray& body,
                       const char* type)
    {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + type +
                      "\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    std::map<QTcpSocket*, QByteArray> m_pending;
    int m_open = 0;
};
