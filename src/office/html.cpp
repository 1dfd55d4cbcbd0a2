#include "office/html.h"

#include "office/sessions.h"

#include <QLocale>
#include <QUrl>

namespace zv::office {

QString esc(const QString& text) { return text.toHtmlEscaped().replace(u'\'', QStringLiteral("&#39;")); }

QString queryString(const QList<QPair<QString, QString>>& items) {
    QStringList parts;
    for (const auto& [key, value] : items)
        if (!value.isEmpty())
            parts.append(QString::fromLatin1(QUrl::toPercentEncoding(key)) + u'=' +
                         QString::fromLatin1(QUrl::toPercentEncoding(value)));
    return parts.isEmpty() ? QString() : u'?' + parts.join(u'&');
}

QString kg(qint64 value) {
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QChar(0x202F));
    return value < 0 ? u'-' + digits : digits;
}

QString tonnes(qint64 kilograms) {
    return QLocale(QLocale::Russian).toString(static_cast<double>(kilograms) / 1000.0, 'f', 3);
}

QString shownTime(const QString& serverTime) {
    if (serverTime.size() < 16) return serverTime;
    // yyyy-MM-dd hh:mm:ss
    return serverTime.mid(8, 2) + u'.' + serverTime.mid(5, 2) + u'.' + serverTime.left(4) + u' ' + serverTime.mid(11, 8);
}

namespace {

QString menu(const Session* session) {
    if (!session) return {};
    QString links = QStringLiteral(
        "<a href=\"/\">Обзор</a><a href=\"/trains\">Составы</a><a href=\"/book\">Книга</a>"
        "<a href=\"/wagon\">Вагон</a><a href=\"/events\">События</a><a href=\"/integrity\">Целостность</a>");
    if (session->role == Role::Admin) links += QStringLiteral("<a href=\"/users\">Пользователи</a>");
    return QStringLiteral(
               "<nav class=\"menu\">%1<form method=\"post\" action=\"/logout\" class=\"logout\">"
               "<input type=\"hidden\" name=\"csrf\" value=\"%2\"><span>%3</span> "
               "<button type=\"submit\">Выйти</button></form></nav>")
        .arg(links, esc(session->csrf), esc(session->user));
}

}  // namespace

QString page(const QString& title, const QString& body, const Session* session) {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\">"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
               "<title>%1 — ZOLVelt, офис</title><link rel=\"stylesheet\" href=\"/office.css\"></head>\n"
               "<body>%2<main><h1>%1</h1>\n%3</main></body></html>\n")
        .arg(esc(title), menu(session), body);
}

QByteArray styleSheet() {
    return QByteArrayLiteral(R"(body{font-family:"DejaVu Sans",sans-serif;font-size:14px;margin:0;color:#222}
main{padding:0 1.2em 1.2em}
h1{font-size:1.4em;margin:.6em 0}
h2{font-size:1.15em;margin:1em 0 .4em}
.menu{background:#234;padding:.4em 1em;display:flex;gap:1em;align-items:center;flex-wrap:wrap}
.menu a{color:#fff;text-decoration:none}
.menu a:hover{text-decoration:underline}
.logout{margin-left:auto;color:#cde}
table{border-collapse:collapse;margin:.4em 0}
th,td{border:1px solid #bbb;padding:.2em .5em;text-align:left;vertical-align:top}
th{background:#e8edf2}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}
td.t{white-space:nowrap}
table.book{font-size:13px}
tfoot td{font-weight:bold;background:#f4f4f4}
th a{color:inherit}
form.filter{display:flex;flex-wrap:wrap;gap:.5em 1em;align-items:end;margin:.4em 0 .8em}
form.filter label{display:flex;flex-direction:column;font-size:.9em}
.note{color:#666}
.error{color:#a00;font-weight:bold}
.warn{color:#a60}
.pages a,.pages span{margin-right:.6em}
.chart{max-width:100%;height:auto}
.login{max-width:22em;margin:3em auto}
.login label{display:block;margin:.6em 0}
.login input{width:100%}
.copy{border:2px solid #a00;color:#a00;padding:.2em .6em;display:inline-block;font-weight:bold}
details{margin:.3em 0}
@media print{
 .menu,form.filter,.pages a,.noprint,button{display:none!important}
 body{font-size:10pt}
 main{padding:0}
 a{color:inherit;text-decoration:none}
 th{background:none}
 table{page-break-inside:auto}
 tr{page-break-inside:avoid}
 details{display:block}
 details>*{display:block}
}
)");
}

}  // namespace zv::office
