#include "office/html.h"
#include "office/pages.h"

namespace zv::office {

Response htmlPage(const QString& title, const QString& body, const Session& session, int status) {
    Response r;
    r.status = status;
    r.body = page(title, body, &session).toUtf8();
    return r;
}

QStringList scaleNames(central::PgConnection& connection) {
    const central::PgResult r = connection.exec(QStringLiteral("SELECT scale FROM central.scales ORDER BY scale"));
    QStringList names;
    for (int i = 0; i < r.rows(); ++i) names.append(r.text(i, 0));
    return names;
}

QString selectField(const QString& name, const QString& label, const QStringList& values, const QString& chosen,
                    const QString& emptyText, const QStringList& shown) {
    QString options = QStringLiteral("<option value=\"\">%1</option>").arg(esc(emptyText));
    for (qsizetype i = 0; i < values.size(); ++i)
        options += QStringLiteral("<option value=\"%1\"%2>%3</option>")
                       .arg(esc(values[i]), values[i] == chosen ? QStringLiteral(" selected") : QString(),
                            esc(i < shown.size() ? shown[i] : values[i]));
    return QStringLiteral("<label>%1<select name=\"%2\">%3</select></label>").arg(esc(label), esc(name), options);
}

QString inputField(const QString& name, const QString& label, const QString& value, const QString& type) {
    return QStringLiteral("<label>%1<input type=\"%2\" name=\"%3\" value=\"%4\"></label>")
        .arg(esc(label), esc(type), esc(name), esc(value));
}

QString numberCell(qint64 value) { return QStringLiteral("<td class=\"n\">%1</td>").arg(kg(value)); }

QString numberCell(const QString& serverValue) {
    if (serverValue.isNull()) return QStringLiteral("<td class=\"n\"></td>");
    return numberCell(serverValue.toLongLong());
}

QDate dateArg(const Request& r, const QString& name, QStringList& problems) {
    const QString text = r.arg(name);
    if (text.isEmpty()) return {};
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) problems.append(QStringLiteral("Дата «%1» не понята: нужна ГГГГ-ММ-ДД").arg(text));
    return date;
}

QDate monthArg(const Request& r, const QString& name, QStringList& problems) {
    const QString text = r.arg(name);
    if (text.isEmpty()) return {};
    const QDate date = QDate::fromString(text + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid()) problems.append(QStringLiteral("Месяц «%1» не понят: нужен ГГГГ-ММ").arg(text));
    return date;
}

QString problemsBlock(const QStringList& problems) {
    QString out;
    for (const QString& p : problems) out += QStringLiteral("<p class=\"error\">%1</p>").arg(esc(p));
    return out;
}

QString limitNotice(int rows, int limit) {
    if (rows <= limit) return {};
    return QStringLiteral("<p class=\"error\">Показаны первые %1 строк: сузьте выбор, чтобы увидеть остальные.</p>").arg(limit);
}

}  // namespace zv::office
