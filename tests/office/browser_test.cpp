#include "office/office_fixture.h"
#include "office/webdriver.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

namespace zv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using test::OfficeFixture;

// Skips only where chromium cannot start here; a browser that runs and sees wrong pages fails.
#define ZV_REQUIRE_BROWSER(browser)                                                 \
    QString why;                                                                    \
    std::unique_ptr<test::Browser> browser = test::Browser::start(why);             \
    if (!browser) GTEST_SKIP() << "headless chromium cannot run: " << why.toStdString()

QString pdfText(const QByteArray& pdf, const test::TempDir& dir) {
    const QString path = QString::fromStdString((dir / "page.pdf").string());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(pdf);
    file.close();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    text.waitForFinished(10000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

void logIn(test::Browser& b, const QString& base) {
    b.open(base + QStringLiteral("/book?month=2026-12"));
    b.type(QStringLiteral("input[name=user]"), QStringLiteral("boris"));
    b.type(QStringLiteral("input[name=password]"), OfficeFixture::kPassword);
    b.submit(QStringLiteral("form.login button"));
}

TEST(OfficeBrowser, LogsInFiltersTheBookExportsItAndPrintsAReport) {
    ZV_REQUIRE_POSTGRES();
    ZV_REQUIRE_BROWSER(b);
    OfficeFixture f;
    f.start();
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(f.port());
    b->open(base + QStringLiteral("/"));
    EXPECT_TRUE(b->url().startsWith(base + QStringLiteral("/login"))) << b->url().toStdString();
    logIn(*b, base);
    // Back at the page first asked for.
    EXPECT_EQ(b->url(), base + QStringLiteral("/book?month=2026-12"));
    EXPECT_THAT(b->source().toStdString(), HasSubstr("Итого: 7 вагонов"));

    b->type(QStringLiteral("form.filter input[name=client]"), QStringLiteral("ромаш"));
    b->type(QStringLiteral("form.filter input[name=wagon]"), QStringLiteral("5234567"));
    b->submit(QStringLiteral("form.filter button"));
    EXPECT_THAT(b->url().toStdString(), HasSubstr("wagon=5234567"));
    const QString filtered = b->source();
    EXPECT_THAT(filtered.toStdString(), HasSubstr("Итого: 3 вагонов"));
    EXPECT_THAT(filtered.toStdString(), HasSubstr("value=\"ромаш\""));

    // The export link carries the same filter; the browser's session fetches the file.
    const QString href = b->source().section(QStringLiteral("href=\"/book.xlsx"), 1).section(u'"', 0, 0).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    EXPECT_THAT(href.toStdString(), HasSubstr("wagon=5234567"));
    const QString cookie = b->cookie(QStringLiteral("zvo_session"));
    ASSERT_FALSE(cookie.isEmpty());
    const test::HttpReply xlsx = test::httpRequest(f.port(), QStringLiteral("GET"), QStringLiteral("/book.xlsx") + href, {},
                                                   {{QStringLiteral("Cookie"), QStringLiteral("zvo_session=") + cookie}});
    EXPECT_EQ(xlsx.status, 200);
    EXPECT_TRUE(xlsx.body.startsWith("PK"));

    // Printed, the report keeps the table and its totals and drops the menu and the filter.
    test::TempDir dir;
    const QByteArray pdf = b->printPdf();
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    const QString text = pdfText(pdf, dir);
    EXPECT_THAT(text.toStdString(), HasSubstr("Книга взвешиваний"));
    EXPECT_THAT(text.toStdString(), HasSubstr("Итого: 3 вагонов"));
    EXPECT_THAT(text.toStdString(), Not(HasSubstr("Выйти")));
    EXPECT_THAT(text.toStdString(), Not(HasSubstr("Показать")));

    b->submit(QStringLiteral("form.logout button"));
    b->open(base + QStringLiteral("/"));
    EXPECT_TRUE(b->url().startsWith(base + QStringLiteral("/login")));
}

// Pictures for the documentation: ZOLVELT_SHOTS=docs/images office_tests
// --gtest_also_run_disabled_tests --gtest_filter='*Screenshots*'
TEST(OfficeBrowser, DISABLED_Screenshots) {
    ZV_REQUIRE_POSTGRES();
    ZV_REQUIRE_BROWSER(b);
    OfficeFixture f;
    f.start();
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(f.port());
    const QString shots = qEnvironmentVariable("ZOLVELT_SHOTS", QStringLiteral("."));
    logIn(*b, base);
    const auto save = [&](const QString& name, const QByteArray& bytes) {
        QFile file(shots + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    b->open(base + QStringLiteral("/"));
    save(QStringLiteral("office-overview.png"), b->screenshotPng());
    b->open(base + QStringLiteral("/book?month=2026-12"));
    save(QStringLiteral("office-book.png"), b->screenshotPng());
    save(QStringLiteral("office-book-print.pdf"), b->printPdf());
    for (const auto& [name, target] : {std::pair{"office-trains.png", "/trains?scale=north&date=2026-12-10&open=1"},
                                       std::pair{"office-wagon.png", "/wagon?number=52345678"},
                                       std::pair{"office-waybill.png", "/waybill?scale=north&month=2026-12-01&n=1"},
                                       std::pair{"office-events.png", "/events"},
                                       std::pair{"office-integrity.png", "/integrity"}}) {
        b->open(base + QLatin1String(target));
        save(QLatin1String(name), b->screenshotPng());
    }
}

}  // namespace
}  // namespace zv
