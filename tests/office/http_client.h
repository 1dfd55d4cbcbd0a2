#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace zv::test {

struct HttpReply {
    int status = 0;
    QList<QPair<QString, QString>> headers;  // names in lower case
    QByteArray body;
    qint64 bodySize = 0;  // counted even where the body was not kept

    QString header(const QString& name) const;
    QStringList headersNamed(const QString& name) const;
    QString text() const { return QString::fromUtf8(body); }
};

// One request over a fresh TCP connection to 127.0.0.1, read to its end: a plain client that
// sees the service's bytes as they are (no redirects followed, no cookies kept).
// keepBody false: only the headers and the body's size (what a large export costs the service,
// not the client).
HttpReply httpRequest(int port, const QString& method, const QString& target, const QByteArray& body = {},
                      const QHash<QString, QString>& headers = {}, bool keepBody = true);

// A client that keeps its cookies, as a browser would for one site.
class OfficeClient {
public:
    explicit OfficeClient(int port) : port_(port) {}

    HttpReply get(const QString& target);
    void keepBodies(bool keep) { keepBodies_ = keep; }
    HttpReply post(const QString& target, const QList<QPair<QString, QString>>& form);
    // Opens the login form and sends the name and password with the form's token.
    HttpReply login(const QString& user, const QString& password);
    // The hidden csrf value of the last page that had one.
    QString csrf() const { return csrf_; }
    QString cookie(const QString& name) const { return cookies_.value(name); }

private:
    void keep(const HttpReply& reply);
    QString cookieHeader() const;

    int port_;
    QHash<QString, QString> cookies_;
    QString csrf_;
    bool keepBodies_ = true;
};

// The form's hidden csrf value in a page; empty when none.
QString csrfIn(const QString& html);
// application/x-www-form-urlencoded
QByteArray formBody(const QList<QPair<QString, QString>>& form);

}  // namespace zv::test
