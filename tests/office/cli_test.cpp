#include "office/office_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/temp_dir.h"

#include <QFile>
#include <QProcess>

namespace zv {
namespace {

using ::testing::HasSubstr;
using test::OfficeFixture;

struct OfficeRun {
    int status = -1;
    std::string out, err;
};

OfficeRun office(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(ZV_OFFICE_EXE), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(20000);
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

TEST(OfficeCommand, HelpsAndRefusesPlainHttpOffLoopback) {
    const OfficeRun help = office({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, HasSubstr("zolvelt-office serve --url URL"));
    EXPECT_THAT(help.out, HasSubstr("add-user"));
    const OfficeRun open = office({QStringLiteral("serve"), QStringLiteral("--url"), QStringLiteral("postgresql://x@127.0.0.1/x"),
                             QStringLiteral("--listen"), QStringLiteral("0.0.0.0:8080")});
    EXPECT_EQ(open.status, 2);
    EXPECT_THAT(open.err, HasSubstr("--allow-plain-http"));
    EXPECT_EQ(office({QStringLiteral("serve"), QStringLiteral("--url"), QStringLiteral("x"), QStringLiteral("--listen"), QStringLiteral("localhost")}).status, 2);
    EXPECT_EQ(office({QStringLiteral("frobnicate")}).status, 2);

    // The settings file says the same as the options, and is held to the same rule.
    test::TempDir dir;
    const QString config = QString::fromStdString((dir / "office.conf").string());
    const auto write = [&](const char* text) {
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("# the office\nurl = postgresql://x@127.0.0.1/x\nlisten = 0.0.0.0:8080\n");
    const OfficeRun fromFile = office({QStringLiteral("serve"), QStringLiteral("--config"), config});
    EXPECT_EQ(fromFile.status, 2);
    EXPECT_THAT(fromFile.err, HasSubstr("0.0.0.0"));
    write("url postgresql://x@127.0.0.1/x\n");
    EXPECT_THAT(office({QStringLiteral("serve"), QStringLiteral("--config"), config}).err, HasSubstr("not key = value"));
}

TEST(OfficeCommand, AddsAUserFromStandardInputAndServesThePagesToThem) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    const QString ownerUrl = test::PgCluster::instance()->url(f.database);
    const OfficeRun shortPassword = office({QStringLiteral("add-user"), QStringLiteral("--url"), ownerUrl, QStringLiteral("--user"), QStringLiteral("dina"),
                                      QStringLiteral("--role"), QStringLiteral("office")}, "short\n");
    EXPECT_EQ(shortPassword.status, 2);
    const OfficeRun added = office({QStringLiteral("add-user"), QStringLiteral("--url"), ownerUrl, QStringLiteral("--user"), QStringLiteral("dina"),
                              QStringLiteral("--role"), QStringLiteral("office")}, "dina-password\n");
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "zolvelt-office add-user: dina (office) added\n");
    EXPECT_EQ(f.sql(QStringLiteral("SELECT role FROM office.users WHERE name = 'dina'")), QStringLiteral("office"));
    EXPECT_TRUE(f.sql(QStringLiteral("SELECT hash FROM office.users WHERE name = 'dina'")).startsWith(QStringLiteral("$argon2id$")));

    // The reader may read, and may not write the scales' tables.
    central::PgConnection reader;
    central::ConnectionParams params = test::PgCluster::instance()->params(f.database);
    params.set(QStringLiteral("user"), OfficeFixture::kReader);
    reader.connect(params);
    EXPECT_EQ(reader.exec(QStringLiteral("SELECT count(*) FROM central.book")).text(0, 0), QStringLiteral("157"));
    EXPECT_THROW(reader.exec(QStringLiteral("DELETE FROM central.book")), central::PgError);

    QProcess serve;
    serve.start(QStringLiteral(ZV_OFFICE_EXE), {QStringLiteral("serve"), QStringLiteral("--url"), f.readerUrl(), QStringLiteral("--listen"),
                                                QStringLiteral("127.0.0.1:0")});
    ASSERT_TRUE(serve.waitForReadyRead(10000));
    const QString line = QString::fromUtf8(serve.readLine());
    EXPECT_TRUE(line.startsWith(QStringLiteral("zolvelt-office: serving http://127.0.0.1:"))) << line.toStdString();
    const int port = line.section(u':', 3).section(u'/', 0, 0).toInt();
    test::OfficeClient c(port);
    EXPECT_EQ(c.login(QStringLiteral("dina"), QStringLiteral("dina-password")).status, 303);
    EXPECT_THAT(c.get(QStringLiteral("/book?month=2026-12")).text().toStdString(), HasSubstr("Ромашка"));
    serve.terminate();
    EXPECT_TRUE(serve.waitForFinished(5000));
    EXPECT_EQ(serve.exitCode(), 0);
}

}  // namespace
}  // namespace zv
