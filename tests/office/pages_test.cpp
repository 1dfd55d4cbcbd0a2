#include "office/html.h"
#include "office/office_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QUrl>

namespace zv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using test::OfficeFixture;

std::string part(const QString& html, const QString& from, const QString& to) {
    const qsizetype a = html.indexOf(from);
    if (a < 0) return {};
    const qsizetype b = html.indexOf(to, a);
    return html.mid(a, b < 0 ? -1 : b - a).toStdString();
}

// The footer of the book's table, where its totals are.
std::string bookFooter(const QString& html) { return part(html, QStringLiteral("<tfoot>"), QStringLiteral("</tfoot>")); }

int bookRows(const QString& html) {
    const QString body = QString::fromStdString(part(html, QStringLiteral("<table class=\"book\">"), QStringLiteral("</tbody>")));
    return static_cast<int>(body.count(QStringLiteral("<tr>"))) - 1;  // less the heading
}

// The pages only read: the cases share one database and one service.
class OfficePages : public ::testing::Test {
protected:
    static void TearDownTestSuite() { shared.reset(); }
    void SetUp() override {
        ZV_REQUIRE_POSTGRES();
        if (!f.server) f.start();
        c = std::make_unique<test::OfficeClient>(f.loggedIn(QStringLiteral("boris")));
    }
    QString page(const QString& target) {
        const test::HttpReply r = c->get(target);
        EXPECT_EQ(r.status, 200) << target.toStdString();
        return r.text();
    }
    static OfficeFixture& holder() {
        if (!shared) shared = std::make_unique<OfficeFixture>();
        return *shared;
    }
    static inline std::unique_ptr<OfficeFixture> shared;
    OfficeFixture& f = holder();
    std::unique_ptr<test::OfficeClient> c;
};

TEST_F(OfficePages, TheOverviewShowsEveryScaleWithTodayAndTheChart) {
    const QString html = page(QStringLiteral("/"));
    const std::string north = part(html, QStringLiteral(">north<"), QStringLiteral("</tr>"));
    // Today north accepted three wagons: 55 t + 58 t + one without a tare.
    EXPECT_THAT(north, HasSubstr(">3</a>"));
    EXPECT_THAT(north, HasSubstr(">113,000<"));
    EXPECT_THAT(north, HasSubstr("10.12.2026 11:58:00"));  // last contact
    EXPECT_THAT(north, HasSubstr("<td class=\"n\">2</td>"));  // refused, as the scale last said
    EXPECT_THAT(north, HasSubstr("href=\"/integrity\">1<"));  // an open finding
    EXPECT_THAT(north, HasSubstr(">37 <span class=\"note\">на 10.12.2026 11:58:00</span>"));  // the backlog it reported
    const std::string south = part(html, QStringLiteral(">south<"), QStringLiteral("</tr>"));
    EXPECT_THAT(south, HasSubstr(">2</a>"));
    EXPECT_THAT(south, HasSubstr(">128,500<"));
    EXPECT_THAT(south, HasSubstr("<td class=\"n\">0</td><td class=\"n\">0</td>"));  // its finding is acknowledged
    EXPECT_THAT(south, HasSubstr("не сообщается"));  // no backlog reported
    EXPECT_THAT(html.toStdString(), HasSubstr(">241,500<"));  // both scales
    const std::string chart = part(html, QStringLiteral("<svg"), QStringLiteral("</svg>"));
    EXPECT_EQ(QString::fromStdString(chart).count(QStringLiteral("<polyline")), 2);
    EXPECT_THAT(chart, HasSubstr(">north<"));
    EXPECT_THAT(chart, HasSubstr(">11.11<"));  // the first day of the 30
    EXPECT_THAT(chart, HasSubstr(">10.12<"));  // and today
}

TEST_F(OfficePages, TheTrainsOfADayOpenOntoTheirWagons) {
    const QString html = page(QStringLiteral("/trains?scale=north&date=2026-12-10&open=1"));
    EXPECT_EQ(html.count(QStringLiteral("<details open>")), 2);
    const std::string first = part(html, QStringLiteral("Состав 3"), QStringLiteral("</details>"));
    // The locomotive is shown with the train, not counted or weighed as one of its wagons.
    EXPECT_THAT(first, HasSubstr(("вагонов: 2, локомотивов: 1, вес вагонов " + office::kg(162000) + " кг").toStdString()));
    EXPECT_THAT(first, HasSubstr("Въезд"));
    EXPECT_THAT(first, HasSubstr("Локомотив"));
    EXPECT_THAT(first, HasSubstr("Обработан"));
    EXPECT_THAT(first, HasSubstr("href=\"/wagon?number=52345679\""));
    EXPECT_THAT(first, HasSubstr(">5,6<"));  // 56 tenths of km/h
    const std::string second = part(html, QStringLiteral("Состав 4"), QStringLiteral("</details>"));
    EXPECT_THAT(second, HasSubstr("Выезд"));
    EXPECT_THAT(second, HasSubstr("Проблема в"));
    EXPECT_THAT(html.toStdString(), Not(HasSubstr("11111111")));  // the day before
    EXPECT_THAT(page(QStringLiteral("/trains?scale=south&date=2026-12-10")).toStdString(), HasSubstr("В этот день составов нет."));
}

TEST_F(OfficePages, TheBookTotalsAgreeWithTheServerForEveryFilter) {
    struct Case {
        const char* query;
        const char* where;  // the same choice in SQL over the office's view
    };
    const Case cases[] = {
        {"scale=north&month=2026-12", "scale = 'north' AND month = '2026-12-01'"},
        {"month=2026-12", "month = '2026-12-01'"},
        {"month=2026-12&client=%D1%80%D0%BE%D0%BC%D0%B0%D1%88", "month = '2026-12-01' AND client = 'ООО Ромашка'"},
        {"scale=north&month=2026-12&dir=1", "scale = 'north' AND month = '2026-12-01' AND (scale, month, n) IN (SELECT scale, month, n FROM central.book WHERE dir = 1)"},
        {"scale=north&from=2026-12-05&to=2026-12-05", "scale = 'north' AND accepted::date = '2026-12-05'"},
        {"wagon=5234567&from=2026-12-01", "wagon LIKE '%5234567%' AND accepted >= '2026-12-01'"},
        {"scale=north&month=2026-11&load=%D1%83%D0%B3%D0%BE%D0%BB%D1%8C&station=%D1%81%D0%B5%D0%B2", "scale = 'north' AND month = '2026-11-01' AND load = 'Уголь' AND station = 'Северная'"},
        {"scale=north&month=2026-11", "scale = 'north' AND month = '2026-11-01'"},
    };
    for (const Case& k : cases) {
        const QString html = page(QStringLiteral("/book?") + QLatin1String(k.query));
        const QString where = QString::fromUtf8(k.where);
        const QString rows = f.sql(QStringLiteral("SELECT count(*) FROM central.office_book WHERE ") + where);
        ASSERT_NE(rows, QStringLiteral("0")) << k.query;
        const std::string footer = bookFooter(html);
        EXPECT_THAT(footer, HasSubstr(("Итого: " + rows + " вагонов").toStdString())) << k.query;
        for (const char* column : {"gross", "tare", "net"}) {
            const QString sum = f.sql(QStringLiteral("SELECT coalesce(sum(%1), 0) FROM central.office_book WHERE ").arg(QLatin1String(column)) + where);
            EXPECT_THAT(footer, HasSubstr((u'>' + office::kg(sum.toLongLong()) + u'<').toStdString())) << k.query << " " << column;
        }
        EXPECT_EQ(bookRows(html), std::min(rows.toInt(), 100)) << k.query;
    }
    // Grouped by client: the sum of the page's client table for the month.
    const QString html = page(QStringLiteral("/book?month=2026-12"));
    const std::string byClient = part(html, QStringLiteral("<h2>Клиент</h2>"), QStringLiteral("</table>"));
    EXPECT_THAT(byClient, HasSubstr(("<td>ООО Ромашка</td><td class=\"n\">5</td><td class=\"n\">" +
                                     office::kg(f.sql(QStringLiteral("SELECT sum(gross) FROM central.office_book WHERE client = 'ООО Ромашка' AND month = '2026-12-01'")).toLongLong()))
                                        .toStdString()));
}

TEST_F(OfficePages, TheBookSortsAndPagesInLinksThatKeepTheFilter) {
    const QString first = page(QStringLiteral("/book?scale=north&month=2026-11&sort=gross&desc=1"));
    EXPECT_THAT(first.toStdString(), HasSubstr("Страница 1 из 2"));
    EXPECT_THAT(first.toStdString(), HasSubstr("href=\"/book?scale=north&amp;month=2026-11&amp;sort=gross&amp;desc=1&amp;page=2\""));
    const qsizetype top = first.indexOf(QStringLiteral("80000150")), next = first.indexOf(QStringLiteral("80000149"));
    EXPECT_GT(top, 0);
    EXPECT_GT(next, top);  // the heaviest first
    const QString second = page(QStringLiteral("/book?scale=north&month=2026-11&sort=gross&desc=1&page=2"));
    EXPECT_EQ(bookRows(second), 50);
    EXPECT_THAT(second.toStdString(), HasSubstr("80000001"));
    EXPECT_THAT(second.toStdString(), Not(HasSubstr("80000150")));
    // Totals cover the whole filter, not the page.
    EXPECT_THAT(bookFooter(second), HasSubstr("Итого: 150 вагонов"));
    // For printing, every row on one page, in the same order, and the way back to pages.
    const QString link = QStringLiteral("/book?scale=north&amp;month=2026-11&amp;sort=gross&amp;desc=1&amp;all=1");
    EXPECT_THAT(second.toStdString(), HasSubstr(("href=\"" + link + "\"").toStdString()));
    const QString all = page(QString(link).replace(QStringLiteral("&amp;"), QStringLiteral("&")));
    EXPECT_EQ(bookRows(all), 150);
    EXPECT_LT(all.indexOf(QStringLiteral("80000150")), all.indexOf(QStringLiteral("80000001")));
    EXPECT_THAT(all.toStdString(), Not(HasSubstr("Страница 1")));
    EXPECT_THAT(all.toStdString(), HasSubstr("href=\"/book?scale=north&amp;month=2026-11&amp;sort=gross&amp;desc=1\">по 100 строк"));
    // A sort key the page does not know is not SQL: the book falls back to its order.
    const test::HttpReply odd = c->get(QStringLiteral("/book?month=2026-11&sort=gross%3BDROP%20TABLE%20central.book"));
    EXPECT_EQ(odd.status, 200);
    EXPECT_EQ(f.sql(QStringLiteral("SELECT count(*) FROM central.book")), QStringLiteral("157"));
}

TEST_F(OfficePages, HostileTextsInFiltersAndDataAreShownLiterally) {
    const QStringList hostile = {QStringLiteral("'; DROP TABLE central.book; --"), QStringLiteral("\"><script>alert(2)</script>"),
                                 QStringLiteral("%_\\"), QStringLiteral("1' OR '1'='1"), QStringLiteral("%1%2%3")};
    for (const QString& text : hostile) {
        const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(text));
        for (const QString& target : {QStringLiteral("/book?month=2026-12&client=") + encoded, QStringLiteral("/book?month=2026-12&wagon=") + encoded,
                                      QStringLiteral("/book?month=2026-12&scale=") + encoded, QStringLiteral("/book?month=2026-12&station=") + encoded,
                                      QStringLiteral("/book?month=2026-12&load=") + encoded, QStringLiteral("/book?from=") + encoded,
                                      QStringLiteral("/trains?date=") + encoded, QStringLiteral("/events?from=") + encoded,
                                      QStringLiteral("/wagon?number=") + encoded, QStringLiteral("/events?kind=") + encoded,
                                      QStringLiteral("/events?scale=") + encoded, QStringLiteral("/trains?scale=") + encoded}) {
            const QString html = page(target);
            EXPECT_THAT(html.toStdString(), Not(HasSubstr("<script>"))) << target.toStdString();
            if (target.startsWith(QStringLiteral("/book?month="))) {
                EXPECT_THAT(bookFooter(html), HasSubstr("Итого: 0 вагонов")) << target.toStdString();
            }
        }
        const QString book = page(QStringLiteral("/book?month=2026-12&client=") + encoded);
        EXPECT_THAT(part(book, QStringLiteral("<p class=\"filterline\">"), QStringLiteral("</p>")),
                    HasSubstr(("клиент: " + office::esc(text) + ". Записей: 0").toStdString()));
        EXPECT_THAT(part(page(QStringLiteral("/wagon?number=") + encoded), QStringLiteral("<p>Вагон"), QStringLiteral("</p>")),
                    HasSubstr((office::esc(text) + ": взвешиваний 0").toStdString()));
    }
    EXPECT_EQ(f.sql(QStringLiteral("SELECT count(*) FROM central.book")), QStringLiteral("157"));
    // A client named like a script in the scale's dictionary, and an event's value with markup.
    EXPECT_THAT(page(QStringLiteral("/book?month=2026-12")).toStdString(), HasSubstr("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_THAT(page(QStringLiteral("/events")).toStdString(), HasSubstr("&lt;b&gt;цепочка&lt;/b&gt; разорвана"));
    // Dates that are not dates are said so, and left out.
    // Such a month opens this month's book, as the page's own links (which leave it out) do.
    const QString oddMonth = page(QStringLiteral("/book?month=2026-13&scale=north"));
    EXPECT_THAT(oddMonth.toStdString(), HasSubstr("Месяц «2026-13» не понят"));
    EXPECT_THAT(part(oddMonth, QStringLiteral("<p class=\"filterline\">"), QStringLiteral("</p>")), HasSubstr("месяц: 12.2026. Записей: 5"));
    EXPECT_THAT(oddMonth.toStdString(), HasSubstr("href=\"/book.xlsx?scale=north&amp;month=2026-12\""));
}

TEST_F(OfficePages, AWagonsWeighingsAcrossScalesWithItsWaybillAsACopy) {
    const QString html = page(QStringLiteral("/wagon?number=52345678"));
    EXPECT_THAT(html.toStdString(), HasSubstr("взвешиваний 3"));
    EXPECT_THAT(html.toStdString(), HasSubstr("<td>south</td>"));
    EXPECT_THAT(html.toStdString(), HasSubstr("<td>north</td>"));
    EXPECT_THAT(html.toStdString(), HasSubstr("href=\"/waybill?scale=north&amp;month=2026-12-01&amp;n=4\""));
    const QString copy = page(QStringLiteral("/waybill?scale=north&month=2026-12-01&n=1"));
    EXPECT_THAT(copy.toStdString(), HasSubstr("КОПИЯ"));
    EXPECT_THAT(copy.toStdString(), HasSubstr("<td>52345678</td>"));
    EXPECT_THAT(copy.toStdString(), HasSubstr("10.12.2026 08:00:00 Иванов"));
    EXPECT_THAT(copy.toStdString(), HasSubstr(office::kg(55000).toStdString()));
    EXPECT_EQ(c->get(QStringLiteral("/waybill?scale=north&month=2026-12-01&n=999")).status, 404);
    EXPECT_THAT(page(QStringLiteral("/wagon?number=5234567")).toStdString(), HasSubstr("взвешиваний 0"));  // whole numbers only
}

TEST_F(OfficePages, TheEventLogAndTheIntegrityPageSayWhatTheScalesReported) {
    const QString all = page(QStringLiteral("/events"));
    EXPECT_EQ(all.count(QStringLiteral("<tr><td>")), 5);
    const QString findings = page(QStringLiteral("/events?kind=%D0%9D%D0%B0%D1%80%D1%83%D1%88%D0%B5%D0%BD%D0%B8%D0%B5%20%D1%86%D0%B5%D0%BB%D0%BE%D1%81%D1%82%D0%BD%D0%BE%D1%81%D1%82%D0%B8"));
    EXPECT_EQ(findings.count(QStringLiteral("<tr><td>")), 2);
    const QString southDay = page(QStringLiteral("/events?scale=south&from=2026-12-09&to=2026-12-09"));
    EXPECT_EQ(southDay.count(QStringLiteral("<tr><td>")), 2);
    EXPECT_EQ(page(QStringLiteral("/events?scale=south&from=2026-12-10")).count(QStringLiteral("<tr><td>")), 0);

    const QString integrity = page(QStringLiteral("/integrity"));
    const std::string witness = part(integrity, QStringLiteral("<table class=\"witness\">"), QStringLiteral("</table>"));
    EXPECT_THAT(part(QString::fromStdString(witness), QStringLiteral("<td>north</td><td>Book[12.2026].db</td>"), QStringLiteral("</tr>")),
                HasSubstr("<td>цепочка продолжается</td><td class=\"n\">2</td><td class=\"n\">5</td><td><code>bbbb0000bbbb0000</code>"));
    EXPECT_THAT(part(QString::fromStdString(witness), QStringLiteral("<td>north</td><td>Trains.db</td>"), QStringLiteral("</tr>")),
                HasSubstr("class=\"error\">печати переписаны: запись цепочки 10 засвидетельствована с разными печатями<"));
    EXPECT_THAT(part(QString::fromStdString(witness), QStringLiteral("<td>south</td><td>Trains.db</td>"), QStringLiteral("</tr>")),
                HasSubstr("class=\"error\">файл заменен более старой копией: после 8 засвидетельствованных записей цепочки "
                          "пришло 4<"));
    EXPECT_THAT(witness, HasSubstr("<td>&lt;b&gt;x&lt;/b&gt;.db</td>"));
    EXPECT_THAT(witness, HasSubstr("<code>&lt;i&gt;h&lt;/i&gt;</code>"));
    const QString reported = QString::fromStdString(part(integrity, QStringLiteral("<h2>Что сообщили весы</h2>"), QStringLiteral("</table>")));
    EXPECT_THAT(part(reported, QStringLiteral("<td>north</td>"), QStringLiteral("</tr>")), HasSubstr("есть неподтвержденные нарушения"));
    EXPECT_THAT(part(reported, QStringLiteral("<td>south</td>"), QStringLiteral("</tr>")), HasSubstr("нарушений нет"));
}

TEST_F(OfficePages, PagesCarryAPrintStyleAndNothingFromElsewhere) {
    const test::HttpReply r = c->get(QStringLiteral("/book?month=2026-12"));
    EXPECT_THAT(r.header(QStringLiteral("content-security-policy")).toStdString(), HasSubstr("default-src 'none'"));
    EXPECT_THAT(r.text().toStdString(), Not(HasSubstr("<script")));
    EXPECT_THAT(r.text().toStdString(), Not(HasSubstr("http://")));
    EXPECT_THAT(r.text().toStdString(), Not(HasSubstr("https://")));
    const test::HttpReply css = test::httpRequest(f.port(), QStringLiteral("GET"), QStringLiteral("/office.css"));
    EXPECT_EQ(css.status, 200);
    EXPECT_THAT(css.text().toStdString(), HasSubstr("@media print"));
}

}  // namespace
}  // namespace zv
