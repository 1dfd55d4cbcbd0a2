#include "reports/book_filter.h"

namespace zv {

namespace {

class Builder {
  public:
    void add(const QString& piece, const QString& description = {}) {
        text_.expression += piece + QStringLiteral(" and ");
        text_.description += description;
    }

    BookFilterText finish() {
        if (!text_.description.isEmpty()) text_.description.prepend(QStringLiteral("Фильтр:"));
        text_.expression.chop(5);  // the trailing " and "
        return text_;
    }

  private:
    BookFilterText text_;
};

QString number(int n) {
    return QString::number(n);
}

}  // namespace

QString quotedDateTime(const QDateTime& value) {
    QString text = value.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

BookFilterText bookFilterText(const BookFilter& f) {
    Builder b;
    if (f.from) b.add(QStringLiteral("Time2>") + quotedDateTime(*f.from));
    if (f.to) b.add(QStringLiteral("Time2<") + quotedDateTime(*f.to));
    if (f.load)
        b.add(QStringLiteral("Load=") + number(f.load->code),
              QStringLiteral("  груз - ") + f.load->name);
    if (f.direction)
        b.add(QStringLiteral("Dir=") + number(*f.direction),
              QStringLiteral("  ") + kDirections.value(*f.direction));
    if (f.station)
        b.add(QStringLiteral("Station=") + number(f.station->code),
              QStringLiteral("  станция - ") + f.station->name);
    if (f.client)
        b.add(QStringLiteral("Client=") + number(f.client->code),
              QStringLiteral("  получатель/отправитель - ") + f.client->name);
    if (f.operatorName) {
        const QString n = number(f.operatorName->code);
        b.add(QStringLiteral("((Name2=%1)or(Name1=%1))").arg(n),
              QStringLiteral("  оператор - ") + f.operatorName->name);
    }
    if (f.wagon)
        b.add(QStringLiteral("Wagon=") + number(*f.wagon),
              QStringLiteral("  вагон - ") + number(*f.wagon));
    if (f.train) {
        const QString n = number(*f.train);
        b.add(QStringLiteral("(Train1=%1 or Train2=%1)").arg(n), QStringLiteral("  состав - ") + n);
    }
    return b.finish();
}

}  // namespace zv
