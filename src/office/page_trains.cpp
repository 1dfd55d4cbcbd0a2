#include "office/html.h"
#include "office/pages.h"
#include "records/derived_fields.h"
#include "records/schema.h"

#include <QLocale>

namespace zv::office {

namespace {

// The program's own texts for the note and the direction of a train-list row.
QString noteText(const central::PgResult& r, int i) {
    static const TableDef def = schema::trains();
    Row row(def);
    if (!r.isNull(i, 8)) row.set(QStringLiteral("Note"), r.text(i, 8).toInt());
    return TrainsNote1GetText(row);
}

QString trainDirection(const central::PgResult& r, int i) {
    static const TableDef def = schema::trains();
    Row row(def);
    if (!r.isNull(i, 0)) row.set(QStringLiteral("Train"), r.text(i, 0).toInt());
    if (!r.isNull(i, 7)) row.set(QStringLiteral("Direc"), r.text(i, 7).toInt());
    return TrainsDirectGetText(row);
}

QString speedText(const QString& tenths) {
    if (tenths.isNull()) return {};
    return QLocale(QLocale::Russian).toString(tenths.toDouble() / 10.0, 'f', 1);
}

QString wagonRow(const central::PgResult& r, int i) {
    const auto cell = [&](int c) { return QStringLiteral("<td>%1</td>").arg(esc(r.text(i, c))); };
    const QString wagon = r.text(i, 2);
    const QString wagonCell = wagon.isEmpty() ? QStringLiteral("<td></td>")
        : QStringLiteral("<td><a href=\"/wagon%1\">%2</a></td>").arg(esc(queryString({{QStringLiteral("number"), wagon}})), esc(wagon));
    return QStringLiteral("<tr><td>%1</td>").arg(esc(shownTime(r.text(i, 1)))) + wagonCell + numberCell(r.text(i, 3)) +
           QStringLiteral("<td>%1</td>").arg(esc(noteText(r, i))) + cell(9) +
           QStringLiteral("<td class=\"n\">%1</td>").arg(speedText(r.text(i, 10))) + cell(11) + cell(12) +
           QStringLiteral("</tr>");
}

// A locomotive's row is shown with the train but is not one of its wagons.
constexpr int kLocomotiveNote = 3;
constexpr int kDayRows = 20000;

struct Train {
    QString number, first, direction;
    int wagons = 0, locomotives = 0;
    qint64 weight = 0;  // of the wagons
    QString rows;

    void add(const central::PgResult& r, int i) {
        if (!r.isNull(i, 8) && r.text(i, 8).toInt() == kLocomotiveNote) {
            ++locomotives;
        } else {
            ++wagons;
            weight += r.text(i, 3).toLongLong();
        }
        rows += wagonRow(r, i);
    }
};

QString trainBlock(const Train& t, bool open) {
    return QStringLiteral(
               "<details%1><summary>Состав %2 — %3, %4, вагонов: %5%6, вес вагонов %7 кг</summary><table class=\"wagons\"><thead><tr>"
               "<th>Время</th><th>Вагон</th><th class=\"n\">Вес, кг</th><th>Примечание</th><th>Осей</th>"
               "<th class=\"n\">Скорость, км/ч</th><th>База ваг.</th><th>База тел.</th></tr></thead><tbody>%8</tbody></table></details>\n")
        .arg(open ? QStringLiteral(" open") : QString(), esc(t.number), esc(shownTime(t.first)), esc(t.direction),
             QString::number(t.wagons), t.locomotives > 0 ? QStringLiteral(", локомотивов: %1").arg(t.locomotives) : QString(),
             kg(t.weight), t.rows);
}

}  // namespace

Response trainsPage(const PageContext& c) {
    QStringList problems;
    QDate day = dateArg(c.request, QStringLiteral("date"), problems);
    if (!day.isValid()) day = c.now.date();
    const QString scale = c.request.arg(QStringLiteral("scale"));
    const bool open = c.request.arg(QStringLiteral("open")) == QStringLiteral("1");
    QString body;
    c.db.with([&](central::PgConnection& db) {
        const QStringList scales = scaleNames(db);
        const QString chosen = scale.isEmpty() && !scales.isEmpty() ? scales.first() : scale;
        body = QStringLiteral("<form class=\"filter\" method=\"get\" action=\"/trains\">") +
               selectField(QStringLiteral("scale"), QStringLiteral("Весы"), scales, chosen, QStringLiteral("—")) +
               inputField(QStringLiteral("date"), QStringLiteral("День"), day.toString(Qt::ISODate), QStringLiteral("date")) +
               QStringLiteral("<label>Раскрыть<select name=\"open\"><option value=\"\">нет</option><option value=\"1\"%1>все составы</option></select></label>"
                              "<button type=\"submit\">Показать</button></form>")
                   .arg(open ? QStringLiteral(" selected") : QString()) +
               problemsBlock(problems);
        body += QStringLiteral("<p>Весы %1, %2</p>").arg(esc(chosen), day.toString(QStringLiteral("dd.MM.yyyy")));
        const central::PgResult r = db.exec(QStringLiteral(
            "SELECT train, to_char(time, 'YYYY-MM-DD HH24:MI:SS'), wagon, weight, wei1, wei2, wei3, direc, note, axle, speed, "
            "basew, baseb FROM central.trains WHERE scale = $1 AND time >= $2::date AND time < $2::date + 1 "
            "ORDER BY time LIMIT %1").arg(kDayRows + 1), {chosen, day.toString(Qt::ISODate)});
        QList<Train> trains;
        for (int i = 0; i < std::min(r.rows(), kDayRows); ++i) {
            // A train is the run of rows of one number; the numbers start again after a reset.
            if (trains.isEmpty() || trains.back().number != r.text(i, 0))
                trains.append(Train{r.text(i, 0), r.text(i, 1), trainDirection(r, i), 0, 0, 0, {}});
            trains.back().add(r, i);
        }
        if (trains.isEmpty()) body += QStringLiteral("<p>В этот день составов нет.</p>");
        body += limitNotice(r.rows(), kDayRows);
        for (const Train& t : trains) body += trainBlock(t, open);
    });
    return htmlPage(QStringLiteral("Составы за день"), body, c.session);
}

}  // namespace zv::office
