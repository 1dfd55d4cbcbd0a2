#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

struct MHD_Daemon;

namespace zv::office {

// One request as the pages see it: the query and a form body already decoded.
struct Request {
    QString method;
    QString path;
    QHash<QString, QString> query;
    QHash<QString, QString> form;
    QHash<QString, QString> cookies;
    QString remote;  // the peer's address
    bool secure = false;  // came over HTTPS through the proxy (X-Forwarded-Proto)

    QString arg(const QString& name) const { return query.value(name); }
};

struct Response {
    int status = 200;
    QString contentType = QStringLiteral("text/html; charset=utf-8");
    QByteArray body;
    QList<QPair<QString, QString>> headers;
    int fileDescriptor = -1;  // a body from an open (unlinked) file, sent and closed by the server

    static Response redirect(const QString& location);
    static Response text(int status, const QString& message);
    void header(const QString& name, const QString& value) { headers.append({name, value}); }
};

using Handler = std::function<Response(const Request&)>;

// The HTTP listener: libmicrohttpd's own threads, a pool of them, calling one handler.
// Bodies of forms are bounded; anything the handler throws becomes a 500 with no detail.
class HttpServer {
public:
    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on the address (IPv4 or IPv6 text) and port; port 0 takes a free one.
    // Throws std::runtime_error when it cannot.
    void start(const QString& address, int port, int threads = 4);
    void stop();
    int port() const { return port_; }

    struct Context;

private:
    std::unique_ptr<Context> context_;
    MHD_Daemon* daemon_ = nullptr;
    int port_ = 0;
};

}  // namespace zv::office
