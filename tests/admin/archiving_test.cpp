#include "admin/archiving.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "admin/b_copy.h"
#include "integrity/integrity_fixture.h"
#include "records/table.h"
#include "support/temp_dir.h"

namespace {

// A folder of working tables with plain files standing for the tables.
class ArchivingTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkdir(books);
        QDir().mkdir(archives);
        for (const char* name : {"Loads.db", "stations.DB", "Clients.db", "Names.db", "Trains.db",
                                 "Wagons.db", "BasesW.db", "Book[02.2024].db", "Book[03.2024].db"})
            write(QDir(books).filePath(name), name);
    }
    static void write(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QStringList archived(const QString& name) const {
        return QDir(QDir(archives).filePath(name)).entryList(QDir::Files, QDir::Name);
    }

    zv::test::TempDir dir;
    QString books = QString::fromStdString((dir / "DB").string());
    QString archives = QString::fromStdString((dir / "ZOL_arch").string());
};

TEST_F(ArchivingTest, CopiesTheBookAndItsDictionariesOnce) {
    EXPECT_EQ(zv::booksIn(books), (QStringList{"Book[02.2024].db", "Book[03.2024].db"}));
    const zv::ArchiveResult r = zv::archiveBook(books, "Book[02.2024].db", archives, "Book[03.2024].db");
    EXPECT_EQ(r.outcome, zv::ArchiveOutcome::Archived);
    EXPECT_EQ(r.archiveName, "Book[02.2024]");
    EXPECT_EQ(archived("Book[02.2024]"), (QStringList{"Book[02.2024].db", "Clients.db", "Loads.db",
                                                      "Names.db", "Stations.db"}));
    QFile copy(QDir(archives).filePath("Book[02.2024]/Stations.db"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "stations.DB");
    EXPECT_TRUE(QFile::exists(QDir(books).filePath("Book[02.2024].db")));  // only copied
    EXPECT_EQ(zv::archivesIn(archives), QStringList{"Book[02.2024]"});

    write(QDir(books).filePath("Names.db"), "changed");
    EXPECT_EQ(zv::archiveBook(books, "Book[02.2024].db", archives, "Book[03.2024].db").outcome,
              zv::ArchiveOutcome::AlreadyArchived);
    QFile names(QDir(archives).filePath("Book[02.2024]/Names.db"));
    ASSERT_TRUE(names.open(QIODevice::ReadOnly));
    EXPECT_EQ(names.readAll(), "Names.db");
}

TEST_F(ArchivingTest, TheBookInUseIsRefused) {
    EXPECT_EQ(zv::archiveBook(books, "Book[03.2024].db", archives, "book[03.2024].db").outcome,
              zv::ArchiveOutcome::CurrentBook);
    EXPECT_TRUE(zv::archivesIn(archives).isEmpty());
}

TEST_F(ArchivingTest, AFailedCopyNamesTheFilesAndLeavesNoHalfArchive) {
    // A folder where a table should be cannot be copied as a file.
    QFile::remove(QDir(books).filePath("Clients.db"));
    QDir().mkdir(QDir(books).filePath("Clients.db"));
    QFile::remove(QDir(books).filePath("Names.db"));
    zv::ArchiveResult r = zv::archiveBook(books, "Book[02.2024].db", archives, "Book[03.2024].db");
    EXPECT_EQ(r.outcome, zv::ArchiveOutcome::Failed);
    EXPECT_EQ(r.notCopied, (QStringList{"Clients.db", "Names.db"}));
    EXPECT_FALSE(QFileInfo::exists(QDir(archives).filePath("Book[02.2024]")));

    QDir(QDir(books).filePath("Clients.db")).removeRecursively();
    write(QDir(books).filePath("Clients.db"), "c");
    write(QDir(books).filePath("Names.db"), "n");
    r = zv::archiveBook(books, "Book[02.2024].db", archives, "Book[03.2024].db");
    EXPECT_EQ(r.outcome, zv::ArchiveOutcome::Archived);
}

TEST_F(ArchivingTest, AnArchiveFolderThatCannotBeMadeCopiesNothing) {
    const QString gone = QDir(archives).filePath("unplugged/drive");
    const zv::ArchiveResult r = zv::archiveBook(books, "Book[02.2024].db", gone, "Book[03.2024].db");
    EXPECT_EQ(r.outcome, zv::ArchiveOutcome::Failed);
    EXPECT_EQ(r.notCopied, (QStringList{"Loads.db", "Stations.db", "Clients.db", "Names.db",
                                        "Book[02.2024].db"}));
}

TEST_F(ArchivingTest, AReadOnlyArchiveFolderCopiesNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    QFile::setPermissions(archives, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(zv::archiveBook(books, "Book[02.2024].db", archives, "Book[03.2024].db").outcome,
              zv::ArchiveOutcome::Failed);
    QFile::setPermissions(archives, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    EXPECT_TRUE(zv::archivesIn(archives).isEmpty());
}

// Archiving through its window keeps every seal whole, even with the archives inside the
// folder of the working tables; the book removed by hand afterwards is a finding.
TEST(ArchivingSeals, AnArchivedBookIsNoFindingAndOneRemovedByHandIs) {
    zv::test::IntegrityFixture fx;
    fx.clock.time = QDateTime(QDate(2026, 11, 20), QTime(9, 0));
    fx.start();
    fx.records->Book().insertValues({{"Wagon", "51234567"}, {"Brut", 61000}, {"Tare", 22000}});
    fx.stop();
    fx.clock.time = QDateTime(QDate(2026, 12, 1), QTime(8, 0));
    fx.start();

    TBCopy window;
    window.setFolders(fx.dbDir(), fx.dbDir(), fx.records->Book().fileName());
    window.show();
    auto* books = window.findChild<QListWidget*>("FLB1");
    const QList<QListWidgetItem*> november = books->findItems("Book[11.2026].db", Qt::MatchExactly);
    ASSERT_EQ(november.size(), 1);
    QTest::mouseClick(books->viewport(), Qt::LeftButton, {}, books->visualItemRect(november[0]).center());
    auto* run = window.findChild<QPushButton*>("But1");
    QTest::mouseClick(run, Qt::LeftButton, {}, run->rect().center());
    ASSERT_TRUE(QFile::exists(QDir(fx.dbDir()).filePath("Book[11.2026]/Book[11.2026].db")));
    EXPECT_TRUE(fx.findings().isEmpty());
    fx.stop();
    fx.start();
    EXPECT_TRUE(fx.findings().isEmpty());
    fx.stop();

    ASSERT_TRUE(QFile::remove(fx.file("Book[11.2026].db")));
    fx.start();
    EXPECT_EQ(fx.findings(), QStringList{"Книга Book[11.2026]: файл удален"});
}

}  // namespace
