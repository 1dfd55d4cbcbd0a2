#include "office/http_server.h"

#include <QUrl>
#include <QUrlQuery>

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace zv::office {

namespace {

constexpr size_t kMaxBody = 64 * 1024;

struct PendingRequest {
    QByteArray body;
    bool tooLarge = false;
};

MHD_Result collect(void* target, MHD_ValueKind, const char* key, const char* value) {
    auto* hash = static_cast<QHash<QString, QString>*>(target);
    hash->insert(QString::fromUtf8(key), value ? QString::fromUtf8(value) : QString());
    return MHD_YES;
}

QHash<QString, QString> parseForm(const QByteArray& body) {
    QByteArray plus = body;
    plus.replace('+', ' ');
    QHash<QString, QString> form;
    const QUrlQuery query(QString::fromLatin1(plus));
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) form.insert(key, value);
    return form;
}

QString peerAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (!info || !info->client_addr) return {};
    char text[INET6_ADDRSTRLEN] = {};
    const sockaddr* addr = info->client_addr;
    if (addr->sa_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(addr)->sin_addr, text, sizeof text);
    else if (addr->sa_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr, text, sizeof text);
    return QString::fromLatin1(text);
}

Request makeRequest(MHD_Connection* connection, const char* url, const char* method, const QByteArray& body) {
    Request request;
    request.method = QString::fromLatin1(method);
    request.path = QString::fromUtf8(url);
    MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, collect, &request.query);
    MHD_get_connection_values(connection, MHD_COOKIE_KIND, collect, &request.cookies);
    const char* type = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_TYPE);
    if (type && std::strncmp(type, "application/x-www-form-urlencoded", 33) == 0) request.form = parseForm(body);
    const char* proto = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Forwarded-Proto");
    request.secure = proto && std::strcmp(proto, "https") == 0;
    request.remote = peerAddress(connection);
    return request;
}

MHD_Result send(MHD_Connection* connection, const Response& response) {
    MHD_Response* out = nullptr;
    if (response.fileDescriptor >= 0) {
        const off_t size = ::lseek(response.fileDescriptor, 0, SEEK_END);
        out = MHD_create_response_from_fd(static_cast<uint64_t>(size), response.fileDescriptor);
    } else {
        out = MHD_create_response_from_buffer(static_cast<size_t>(response.body.size()),
                                              const_cast<char*>(response.body.constData()), MHD_RESPMEM_MUST_COPY);
    }
    if (!out) return MHD_NO;
    MHD_add_response_header(out, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.toUtf8().constData());
    // Nothing on these pages may come from elsewhere, run as a script or sit in a frame.
    MHD_add_response_header(out, "Content-Security-Policy",
                            "default-src 'none'; style-src 'self'; img-src 'self' data:; form-action 'self'; "
                            "frame-ancestors 'none'; base-uri 'none'");
    MHD_add_response_header(out, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(out, "Referrer-Policy", "same-origin");
    MHD_add_response_header(out, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
    for (const auto& [name, value] : response.headers)
        MHD_add_response_header(out, name.toUtf8().constData(), value.toUtf8().constData());
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(response.status), out);
    MHD_destroy_response(out);
    return queued;
}

}  // namespace

struct HttpServer::Context {
    Handler handler;
};

namespace {

MHD_Result answer(void* cls, MHD_Connection* connection, const char* url, const char* method, const char*,
                  const char* uploadData, size_t* uploadSize, void** state) {
    auto* context = static_cast<HttpServer::Context*>(cls);
    if (!*state) {
        *state = new PendingRequest;
        return MHD_YES;
    }
    auto* pending = static_cast<PendingRequest*>(*state);
    if (*uploadSize > 0) {
        if (static_cast<size_t>(pending->body.size()) + *uploadSize > kMaxBody) pending->tooLarge = true;
        else pending->body.append(uploadData, static_cast<qsizetype>(*uploadSize));
        *uploadSize = 0;
        return MHD_YES;
    }
    if (pending->tooLarge) return send(connection, Response::text(413, QStringLiteral("Слишком большой запрос")));
    Response response;
    try {
        response = context->handler(makeRequest(connection, url, method, pending->body));
    } catch (...) {
        response = Response::text(500, QStringLiteral("Внутренняя ошибка службы"));
    }
    return send(connection, response);
}

void finished(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
    delete static_cast<PendingRequest*>(*state);
    *state = nullptr;
}

}  // namespace

Response Response::redirect(const QString& location) {
    Response r;
    r.status = 303;
    r.header(QStringLiteral("Location"), location);
    return r;
}

Response Response::text(int status, const QString& message) {
    Response r;
    r.status = status;
    r.contentType = QStringLiteral("text/plain; charset=utf-8");
    r.body = message.toUtf8();
    return r;
}

HttpServer::HttpServer(Handler handler) : context_(std::make_unique<Context>(Context{std::move(handler)})) {}

HttpServer::~HttpServer() { stop(); }

void HttpServer::start(const QString& address, int port, int threads) {
    sockaddr_storage storage{};
    socklen_t length = 0;
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_ERROR_LOG;
    const QByteArray text = address.toLatin1();
    if (auto* v4 = reinterpret_cast<sockaddr_in*>(&storage); ::inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in);
    } else if (auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage); ::inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        length = sizeof(sockaddr_in6);
        flags |= MHD_USE_IPv6;
    } else {
        throw std::runtime_error("not an IP address: " + address.toStdString());
    }
    (void)length;
    daemon_ = MHD_start_daemon(flags, static_cast<uint16_t>(port), nullptr, nullptr, &answer, context_.get(),
                               MHD_OPTION_SOCK_ADDR, &storage, MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(threads),
                               MHD_OPTION_NOTIFY_COMPLETED, &finished, nullptr, MHD_OPTION_CONNECTION_TIMEOUT, 30u,
                               MHD_OPTION_END);
    if (!daemon_) throw std::runtime_error("cannot listen on " + address.toStdString() + ":" + std::to_string(port));
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info ? info->port : port;
}

void HttpServer::stop() {
    if (daemon_) MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

}  // namespace zv::office
