#include "central/password_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/temp_dir.h"

namespace zv {
namespace {

central::ConnectionParams connection(const char* host, const char* port, const char* database, const char* user) {
    central::ConnectionParams p;
    p.set(QStringLiteral("host"), QString::fromUtf8(host));
    p.set(QStringLiteral("port"), QString::fromUtf8(port));
    p.set(QStringLiteral("dbname"), QString::fromUtf8(database));
    p.set(QStringLiteral("user"), QString::fromUtf8(user));
    return p;
}

TEST(PasswordFile, GivesThePasswordOfTheFirstLineThatMatchesWithItsEscapesTakenOut) {
    test::TempDir dir;
    const QString path = QDir(QString::fromStdString(dir.path().string())).filePath(QStringLiteral("ZOLVelt.pgpass"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# the scale north\n"
               "10.0.0.5:5432:zolvelt:zolvelt_scale_north:first\n"
               "10.0.0.5:*:zolvelt:zolvelt_scale_north:second\n"
               "*:*:*:zolvelt_scale_south:pa\\:ss\\\\word:with colon\n"
               "broken line\n");
    file.close();
    const struct {
        central::ConnectionParams params;
        QString password;
    } cases[] = {
        {connection("10.0.0.5", "5432", "zolvelt", "zolvelt_scale_north"), "first"},
        {connection("10.0.0.5", "6432", "zolvelt", "zolvelt_scale_north"), "second"},
        {connection("server", "5432", "other", "zolvelt_scale_south"), "pa:ss\\word:with colon"},
        {connection("10.0.0.6", "5432", "zolvelt", "zolvelt_scale_north"), ""},
        {connection("10.0.0.5", "5432", "zolvelt", "zolvelt_scale_east"), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(central::passwordFor(path, c.params), c.password) << c.params.value("user").toStdString();
    EXPECT_EQ(central::passwordFor(path + QStringLiteral(".missing"), cases[0].params), QString());
}

TEST(PasswordFile, LiesBesideTheSettingsFileWhereTheLinkToItPoints) {
    test::TempDir dir;
    const QDir root(QString::fromStdString(dir.path().string()));
    root.mkpath(QStringLiteral("etc"));
    root.mkpath(QStringLiteral("opt"));
    QFile(root.filePath(QStringLiteral("etc/ZOLVelt.ini"))).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("etc/ZOLVelt.ini")), root.filePath(QStringLiteral("opt/ZOLVelt.ini"))));
    EXPECT_EQ(central::passwordFileBeside(root.filePath(QStringLiteral("opt/ZOLVelt.ini"))),
              root.filePath(QStringLiteral("etc/ZOLVelt.pgpass")));
}

}  // namespace
}  // namespace zv
