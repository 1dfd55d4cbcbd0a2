#include "admin/setup_p.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

#include "admin/admin_fixture.h"
#include "admin/b_copy.h"
#include "admin/folder_tree.h"
#include "admin/settings_window_test.h"
#include "records/records_database.h"
#include "records/table.h"
#include "records/train_storage.h"
#include "settings/settings_file.h"
#include "ui/modal.h"
#include "ui/tlie_edit.h"

namespace {

using zv::test::AdminFixture;
using zv::test::SettingsWindowTest;
using zv::test::typeAndLeave;

QString path(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

class SetupPTest : public SettingsWindowTest<TSetupP> {
protected:
    void SetUp() override {
        fx.records().DBOpen();
        fx.messages.clear();
        window.setHost(&fx);
        window.setBCopy(&archiving);
        window.UpdateSetupP(fx.settings());
    }
    void open(int page) {
        window.setCurrentPage(page);
        window.show();
    }
    QListWidgetItem* option(int i) { return get<QListWidget>("CLB1")->item(i); }
    void save() { get<QPushButton>("But1")->click(); }

    TBCopy archiving;
};

TEST_F(SetupPTest, WholeSecondsOfTheTrainEndWaitAndTheOptions) {
    fx.settings().tTrEnd = 15500;
    fx.settings().Params = zv::params::ShowGravityOffsets;
    window.UpdateSetupP(fx.settings());
    EXPECT_EQ(get("LIE2")->Val(), 15);
    EXPECT_EQ(option(1)->checkState(), Qt::Checked);
    for (int i = 2; i <= 5; ++i) EXPECT_FALSE(option(i)->flags() & Qt::ItemIsEnabled) << i;
    for (int i = 2; i <= 5; ++i) EXPECT_EQ(option(i)->text(), "Резерв (не используется)") << i;
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(option(i)->text().isEmpty()) << i;

    open(TSetupP::Common);
    EXPECT_FALSE(window.unsaved());
    option(6)->setCheckState(Qt::Checked);
    EXPECT_TRUE(window.unsaved());
    fx.messages.answerYes();
    window.reject();
    EXPECT_FALSE(fx.settings().has(zv::params::ShowDebugColumns));
    EXPECT_EQ(option(6)->checkState(), Qt::Unchecked);

    open(TSetupP::Common);
    option(6)->setCheckState(Qt::Checked);
    get<QLineEdit>("LE1")->setText("Завод");
    get<QLineEdit>("LE2")->setText("Весы 1");
    const int applied = fx.optionsApplied;
    save();
    EXPECT_FALSE(window.unsaved());
    EXPECT_GT(fx.optionsApplied, applied);
    const zv::Settings saved = fx.readBack();
    EXPECT_EQ(saved.tTrEnd, 15000);
    EXPECT_EQ(saved.Params, zv::params::ShowGravityOffsets | zv::params::ShowDebugColumns);
    EXPECT_EQ(saved.User, "Завод");
    EXPECT_EQ(saved.ScName, "Весы 1");
    typeAndLeave(get("LIE2"), "12");
    save();
    EXPECT_EQ(fx.readBack().tTrEnd, 12000);
}

TEST_F(SetupPTest, SavingLeavesTheCalibrationKeysAsTheyAre) {
    zv::Settings& s = fx.settings();
    s.a0.fill(1500);
    s.ak.fill(1200000);
    zv::SettingsEffects quiet;
    ASSERT_TRUE(zv::saveIni(fx.programFolder().toStdString(), ".ini", s,
                            zv::CalibrationKeys::Write, quiet));
    const std::vector<std::string> before = fx.calibrationLines();
    s.a0.fill(1600);
    open(TSetupP::Common);
    save();
    EXPECT_EQ(fx.calibrationLines(), before);
    EXPECT_EQ(fx.readBack().a0[0], 1500);
}

TEST_F(SetupPTest, AnEmptyFolderOfTablesIsCreatedOnYesAndForgottenOnNo) {
    const QString oldFolder = QString::fromStdString(fx.settings().Path);
    const QString empty = path(std::filesystem::path(fx.programFolder().toStdString()) / "other");
    QDir().mkdir(empty);
    open(TSetupP::Databases);
    auto* tree = get<FolderTree>("STV1");

    ASSERT_TRUE(tree->choose(empty));
    EXPECT_EQ(get<QLineEdit>("Edit1")->text(), empty);
    fx.messages.answerNo();
    save();
    EXPECT_EQ(QDir::cleanPath(tree->chosenPath()), QDir::cleanPath(oldFolder));
    EXPECT_EQ(QString::fromStdString(fx.settings().Path), oldFolder);
    EXPECT_TRUE(fx.records().Trains().isOpen());
    EXPECT_EQ(fx.messages.texts().size(), 1);
    EXPECT_TRUE(QDir(empty).isEmpty());

    fx.messages.clear();
    ASSERT_TRUE(tree->choose(empty));
    fx.messages.answerYes();
    save();
    EXPECT_EQ(fx.messages.texts().size(), 2);  // the question, and one message for all the tables made
    EXPECT_TRUE(fx.messages.texts().last().contains("созданы новые пустые таблицы"));
    EXPECT_TRUE(QFile::exists(QDir(empty).filePath("Wagons.db")));
    EXPECT_EQ(fx.records().connection().folder(), empty + "/");
    EXPECT_EQ(fx.readBack().Path, (empty + "/").toStdString());
    EXPECT_TRUE(fx.records().Book().isOpen());
}

// Answers the folder question only after a train has ended in the meantime.
class TrainEndsDuringQuestion : public zv::MessageResponder {
public:
    explicit TrainEndsDuringQuestion(zv::RecordsDatabase& records) : records_(records) {
        previous_ = zv::Messages::setResponder(this);
    }
    ~TrainEndsDuringQuestion() override { zv::Messages::setResponder(previous_); }
    bool respond(const zv::Message& message) override {
        if (message.question) {
            zv::StoredTrain train;
            zv::StoredWagonRow wagon;
            wagon.Time = std::chrono::system_clock::now();
            wagon.Weight = 60000;
            wagon.Axle = 4;
            train.rows.push_back(wagon);
            stored = zv::StoreTrain(records_, train);
        }
        return true;
    }
    int stored = 0;

private:
    zv::RecordsDatabase& records_;
    zv::MessageResponder* previous_ = nullptr;
};

TEST_F(SetupPTest, ATrainThatEndsWhileTheFolderQuestionIsOpenIsStored) {
    const QString oldFolder = QString::fromStdString(fx.settings().Path);
    const QString empty = path(std::filesystem::path(fx.programFolder().toStdString()) / "other");
    QDir().mkdir(empty);
    open(TSetupP::Databases);
    ASSERT_TRUE(get<FolderTree>("STV1")->choose(empty));
    {
        TrainEndsDuringQuestion responder(fx.records());
        save();
        EXPECT_EQ(responder.stored, 1);
    }
    // The train went into the old folder's table, which is still there to be reopened.
    fx.records().connection().closeAll();
    fx.settings().Path = oldFolder.toStdString();
    fx.records().DBOpen();
    fx.records().Trains().setFiltered(false);
    EXPECT_EQ(fx.records().Trains().recordCount(), 1);
}

TEST_F(SetupPTest, AnUnusableArchiveFolderFallsBackToTheDefault) {
    fx.settings().PathA = path(std::filesystem::path(fx.programFolder().toStdString()) / "no/such").toStdString();
    open(TSetupP::Databases);
    EXPECT_EQ(fx.messages.texts(),
              QStringList{"Место расположения архива недоступно!\r\nУстанавлено расположение по "
                          "умолчанию."});
    EXPECT_EQ(fx.settings().PathA, zv::defaultArchiveFolder(fx.programFolder().toStdString()));
    EXPECT_EQ(get<QLineEdit>("Edit2")->text(), QString::fromStdString(fx.settings().PathA));
    EXPECT_FALSE(window.unsaved());
}

TEST_F(SetupPTest, ArchivingRefusesAChangedArchiveFolderTheCurrentBookAndAnExistingArchive) {
    const QString db = QString::fromStdString(fx.settings().Path);
    ASSERT_TRUE(QFile::copy(QDir(db).filePath("Book[03.2024].db"), QDir(db).filePath("Book[02.2024].db")));
    open(TSetupP::Databases);
    auto* archiveTree = get<FolderTree>("STV2");
    ASSERT_TRUE(archiveTree->choose(fx.programFolder()));
    zv::ModalScript none;
    get<QPushButton>("But21")->click();
    EXPECT_TRUE(none.shown().isEmpty());
    EXPECT_EQ(fx.messages.texts(),
              QStringList{"Вы изменили расположение архива!\r\nПеред архивированием необходимо "
                          "сохранить или отменить новое расположение"});
    ASSERT_TRUE(archiveTree->choose(QString::fromStdString(fx.settings().PathA)));
    fx.messages.clear();

    auto pick = [](const QString& book) {
        return [book](QDialog& w) {
            auto* list = w.findChild<QListWidget*>("FLB1");
            const auto found = list->findItems(book, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << book.toStdString();
            list->setCurrentItem(found.first());
            w.findChild<QPushButton*>("But1")->click();
        };
    };
    QString selectedArchive;
    zv::ModalScript script;
    script.then([&](QDialog& w) {
              pick("Book[03.2024].db")(w);
              pick("Book[02.2024].db")(w);
          })
        .then([&](QDialog& w) {
            pick("Book[02.2024].db")(w);
            const QListWidgetItem* selected = w.findChild<QListWidget*>("FLB2")->currentItem();
            if (selected) selectedArchive = selected->text();
        });
    get<QPushButton>("But21")->click();
    const QDir archive(QDir(QString::fromStdString(fx.settings().PathA)).filePath("Book[02.2024]"));
    EXPECT_EQ(archive.entryList(QDir::Files, QDir::Name),
              (QStringList{"Book[02.2024].db", "Clients.db", "Loads.db", "Names.db", "Stations.db"}));
    get<QPushButton>("But21")->click();
    EXPECT_EQ(script.shown(), (QStringList{"BCopy", "BCopy"}));
    EXPECT_EQ(selectedArchive, "[Book[02.2024]]");
    EXPECT_EQ(fx.messages.texts(),
              (QStringList{"Это текущая активная весовая книга\r\nАрхивируйте ее после окончания месяца",
                           "Здесь уже есть такой архив!"}));
}

TEST(BCopyTest, AnArchiveThatCannotBeMadeIsReportedAndTheWindowStays) {
    AdminFixture fx;
    fx.records().DBOpen();
    fx.messages.clear();
    const QString db = QString::fromStdString(fx.settings().Path);
    ASSERT_TRUE(QFile::copy(QDir(db).filePath("Book[03.2024].db"), QDir(db).filePath("Book[01.2024].db")));
    TBCopy window;
    window.setFolders(db, db + "gone/away", "Book[03.2024].db");
    window.show();
    auto* books = window.findChild<QListWidget*>("FLB1");
    ASSERT_EQ(books->count(), 2);
    books->setCurrentRow(0);
    window.findChild<QPushButton*>("But1")->click();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(fx.messages.shown().size(), 1u);
    EXPECT_EQ(fx.messages.shown()[0].kind, zv::MessageKind::Error);
    EXPECT_EQ(fx.messages.texts()[0],
              "Архив не создан\r\nLoads.db\r\nStations.db\r\nClients.db\r\nNames.db\r\nBook[01.2024].db");
}

}  // namespace
