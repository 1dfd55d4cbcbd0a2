#include "office/http_client.h"

#include <QRegularExpression>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <stdexcept>

namespace zv::test {

QString HttpReply::header(const QString& name) const {
    for (const auto& [key, value] : headers)
        if (key == name.toLower()) return value;
    return {};
}

QStringList HttpReply::headersNamed(const QString& name) const {
    QStringList out;
    for (const auto& [key, value] : headers)
        if (key == name.toLower()) out.append(value);
    return out;
}

HttpReply httpRequest(int port, const QString& method, const QString& target, const QByteArray& body,
                      const QHash<QString, QString>& headers, bool keepBody) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{60, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot connect to the service");
    }
    QByteArray request = method.toLatin1() + ' ' + target.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    for (auto it = headers.cbegin(); it != headers.cend(); ++it) request += it.key().toUtf8() + ": " + it.value().toUtf8() + "\r\n";
    if (!body.isEmpty() || method == QStringLiteral("POST"))
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "\r\n" + body;
    ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL);
    QByteArray raw;
    char buffer[65536];
    // To the end of the body its length gives (a WebDriver keeps the connection open), or to the close.
    qsizetype expected = -1;
    qint64 dropped = 0;
    for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        raw.append(buffer, n);
        const qsizetype head = raw.indexOf("\r\n\r\n");
        if (head < 0) continue;
        if (!keepBody && raw.size() > head + 4) {
            dropped += raw.size() - head - 4;
            raw.truncate(head + 4);
        }
        if (expected < 0) {
            const QByteArray lower = raw.left(head).toLower();
            const qsizetype at = lower.indexOf("\ncontent-length:");
            if (at >= 0) expected = head + 4 + lower.mid(at + 16, lower.indexOf('\r', at + 1) - at - 16).trimmed().toLongLong();
        }
        if (expected >= 0 && raw.size() + dropped >= expected) break;
    }
    ::close(fd);
    HttpReply reply;
    const qsizetype end = raw.indexOf("\r\n\r\n");
    if (end < 0) throw std::runtime_error("no reply from the service");
    const QList<QByteArray> lines = raw.left(end).split('\n');
    reply.status = lines.value(0).split(' ').value(1).toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            reply.headers.append({QString::fromLatin1(line.left(colon)).toLower(), QString::fromUtf8(line.mid(colon + 1).trimmed())});
    }
    reply.body = raw.mid(end + 4);
    reply.bodySize = reply.body.size() + dropped;
    return reply;
}

QString csrfIn(const QString& html) {
    static const QRegularExpression hidden(QStringLiteral("name=\"csrf\" value=\"([0-9a-f]+)\""));
    return hidden.match(html).captured(1);
}

QByteArray formBody(const QList<QPair<QString, QString>>& form) {
    QByteArray body;
    for (const auto& [key, value] : form) {
        if (!body.isEmpty()) body += '&';
        body += QUrl::toPercentEncoding(key) + '=' + QUrl::toPercentEncoding(value);
    }
    return body;
}

void OfficeClient::keep(const HttpReply& reply) {
    for (const QString& set : reply.headersNamed(QStringLiteral("set-cookie"))) {
        const QString pair = set.section(u';', 0, 0);
        const QString name = pair.section(u'=', 0, 0), value = pair.section(u'=', 1);
        if (value.isEmpty() || set.contains(QStringLiteral("Max-Age=0"))) cookies_.remove(name);
        else cookies_.insert(name, value);
    }
    if (const QString token = csrfIn(reply.text()); !token.isEmpty()) csrf_ = token;
}

QString OfficeClient::cookieHeader() const {
    QStringList parts;
    for (auto it = cookies_.cbegin(); it != cookies_.cend(); ++it) parts.append(it.key() + u'=' + it.value());
    return parts.join(QStringLiteral("; "));
}

HttpReply OfficeClient::get(const QString& target) {
    QHash<QString, QString> headers;
    if (!cookies_.isEmpty()) headers.insert(QStringLiteral("Cookie"), cookieHeader());
    HttpReply reply = httpRequest(port_, QStringLiteral("GET"), target, {}, headers, keepBodies_);
    keep(reply);
    return reply;
}

HttpReply OfficeClient::post(const QString& target, const QList<QPair<QString, QString>>& form) {
    QHash<QString, QString> headers{{QStringLiteral("Content-Type"), QStringLiteral("application/x-www-form-urlencoded")}};
    if (!cookies_.isEmpty()) headers.insert(QStringLiteral("Cookie"), cookieHeader());
    HttpReply reply = httpRequest(port_, QStringLiteral("POST"), target, formBody(form), headers);
    keep(reply);
    return reply;
}

HttpReply OfficeClient::login(const QString& user, const QString& password) {
    get(QStringLiteral("/login"));
    return post(QStringLiteral("/login"), {{QStringLiteral("csrf"), csrf_}, {QStringLiteral("user"), user},
                                           {QStringLiteral("password"), password}});
}

}  // namespace zv::test
