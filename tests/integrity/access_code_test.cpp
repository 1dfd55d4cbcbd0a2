// The installation's access code on real files: the factory code until a change, the changed
// code alone after it, and a code file that cannot be trusted confirming nothing.
#include <gtest/gtest.h>

#include "integrity/access_code.h"
#include "integrity/event_kinds.h"
#include "integrity_fixture.h"

#include <QDir>
#include <QFile>

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zv {
namespace {

using Change = AccessCode::Change;
using State = AccessCode::State;

const QString kFactory = QString::fromLatin1(AccessCode::kFactoryCode);

// The cheapest Argon2id: the program's own cost is kept for the program.
constexpr AccessCode::Cost kQuick{crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};

struct CodeFile {
    test::TempDir dir;
    QString path = QString::fromStdString((dir / "ZOLVelt.code").string());
    AccessCode code(bool changedBefore = false) const { return AccessCode(path, changedBefore, kQuick); }
    QByteArray bytes() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QByteArray& content) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
};

Change change(const AccessCode& code, const QString& current, const QString& fresh, QString* message = nullptr) {
    QString said;
    const Change outcome = code.change(current, fresh, fresh, &said);
    if (message) *message = said;
    return outcome;
}

TEST(AccessCode, TheFactoryCodeConfirmsUntilAChangeThenOnlyTheNewOne) {
    CodeFile file;
    const AccessCode code = file.code();
    EXPECT_EQ(code.state(), State::Factory);
    EXPECT_EQ(code.caption(), "Код доступа: заводской - смените его");
    EXPECT_TRUE(code.confirms(kFactory));
    EXPECT_FALSE(code.confirms("WQPZLT"));  // letter case counts

    QString message;
    EXPECT_EQ(change(code, "wrong1", "Весы-2026", &message), Change::WrongCode);
    EXPECT_EQ(message, "Неверный код доступа");
    EXPECT_FALSE(QFile::exists(file.path));

    EXPECT_EQ(change(code, kFactory, "Весы-2026"), Change::Done);
    EXPECT_EQ(code.state(), State::Changed);
    EXPECT_TRUE(code.confirms("Весы-2026"));
    for (const QString& other : {kFactory, QString("весы-2026"), QString("Весы-202"), QString()})
        EXPECT_FALSE(code.confirms(other)) << other.toStdString();
    EXPECT_EQ(code.caption(), "Код доступа: изменен " + QDate::currentDate().toString("dd.MM.yyyy"));

    // Kept as a salted hash only, readable by the owner and the group alone.
    const QByteArray stored = file.bytes();
    EXPECT_TRUE(stored.startsWith("$argon2id$")) << stored.toStdString();
    EXPECT_FALSE(stored.contains(QString("Весы-2026").toUtf8()));
    struct stat mode {};
    ASSERT_EQ(stat(file.path.toLocal8Bit().constData(), &mode), 0);
    EXPECT_EQ(mode.st_mode & 0777, 0640u);

    // The factory code no longer changes it either; the changed one does.
    EXPECT_EQ(change(code, kFactory, "другой-код"), Change::WrongCode);
    EXPECT_EQ(change(code, "Весы-2026", "другой-код"), Change::Done);
    EXPECT_TRUE(code.confirms("другой-код"));
    EXPECT_FALSE(code.confirms("Весы-2026"));
}

TEST(AccessCode, ANewCodeThatBreaksTheRuleIsRefusedAndTheOldOneStays) {
    CodeFile file;
    const AccessCode code = file.code();
    struct Case {
        QString fresh, repeated, said;
    };
    const QString length = "Код доступа: от 6 до 64 знаков";
    const Case cases[] = {
        {"secret1", "secret2", "Новый код и его повтор не совпадают"},
        {"abcde", "abcde", length},
        {QString(65, 'x'), QString(65, 'x'), length},
        {"два слова", "два слова", "Код доступа: без пробелов и управляющих знаков"},
        {"tab\tcode", "tab\tcode", "Код доступа: без пробелов и управляющих знаков"},
        {kFactory, kFactory, "Новый код совпадает с заводским"},
    };
    for (const Case& c : cases) {
        QString message;
        EXPECT_EQ(code.change(kFactory, c.fresh, c.repeated, &message), Change::Refused) << c.fresh.toStdString();
        EXPECT_EQ(message, c.said);
    }
    EXPECT_EQ(code.state(), State::Factory);
    EXPECT_TRUE(code.confirms(kFactory));
    EXPECT_EQ(change(code, kFactory, QString(64, 'x')), Change::Done);  // the longest allowed
    EXPECT_TRUE(code.confirms(QString(64, 'x')));
}

// Neither the factory code nor the code that was hashed gets in through a file that cannot be
// trusted; the engineer with the records' rights writes a new one over it.
TEST(AccessCode, ADamagedOrDeletedFileConfirmsNoCodeUntilReplaced) {
    CodeFile file;
    ASSERT_EQ(change(file.code(), kFactory, "Весы-2026"), Change::Done);
    const QByteArray sound = file.bytes();
    const QByteArray hash = sound.left(sound.indexOf('\n'));
    const struct {
        const char* what;
        QByteArray content;
    } damages[] = {
        {"empty", ""},
        {"garbage", "not a hash\n2026-12-11\n"},
        {"hash cut short", hash.left(hash.size() - 20) + "\n2026-12-11\n"},
        {"no date", hash + "\n"},
        {"another algorithm", QByteArray(hash).replace("$argon2id$", "$argon2i$") + "\n2026-12-11\n"},
    };
    for (const auto& damage : damages) {
        file.write(damage.content);
        const AccessCode code = file.code();
        EXPECT_EQ(code.state(), State::Damaged) << damage.what;
        EXPECT_EQ(code.problem(), "Файл кода доступа " + file.path +
                                      " поврежден; код доступа не принимается.\r\nЗадать код заново может наладчик с "
                                      "доступом к записям: zolvelt-tool set-access-code --settings ZOLVelt.ini")
            << damage.what;
        EXPECT_EQ(code.caption(), "Код доступа: файл поврежден - задайте код заново");
        EXPECT_FALSE(code.confirms(kFactory)) << damage.what;
        EXPECT_FALSE(code.confirms("Весы-2026")) << damage.what;
        QString message;
        EXPECT_EQ(code.change("Весы-2026", "новый-код", "новый-код", &message), Change::Refused) << damage.what;
        EXPECT_EQ(message, code.problem());
    }

    ASSERT_TRUE(QFile::remove(file.path));
    EXPECT_EQ(file.code(false).state(), State::Factory);  // never changed: a fresh installation
    const AccessCode deleted = file.code(true);
    EXPECT_EQ(deleted.state(), State::Damaged);
    EXPECT_TRUE(deleted.problem().startsWith("Файл кода доступа " + file.path + " удален в обход программы"));
    EXPECT_FALSE(deleted.confirms(kFactory));

    EXPECT_EQ(deleted.replace("новый-код", "новый-код"), QString());
    EXPECT_EQ(deleted.state(), State::Changed);
    EXPECT_TRUE(deleted.confirms("новый-код"));
}

// Without read permission (as another user than root) or, here for root as well, a folder
// standing where the file belongs.
TEST(AccessCode, AFileThatCannotBeReadConfirmsNothing) {
    CodeFile file;
    ASSERT_EQ(change(file.code(), kFactory, "Весы-2026"), Change::Done);
    if (geteuid() == 0) {
        ASSERT_TRUE(QFile::remove(file.path));
        ASSERT_TRUE(QDir().mkdir(file.path));
    } else {
        ASSERT_TRUE(QFile::setPermissions(file.path, QFileDevice::WriteOwner));
    }
    const AccessCode code = file.code();
    EXPECT_TRUE(code.problem().startsWith("Не удается прочитать файл кода доступа " + file.path)) << code.problem().toStdString();
    EXPECT_FALSE(code.confirms(kFactory));
    EXPECT_FALSE(code.confirms("Весы-2026"));
}

// The program's code lies beside the key, and the log's record of a change is what tells a
// deleted file from one never written.
TEST(AccessCode, TheProgramsCodeLiesBesideTheKeyAndItsLogTellsADeletedFile) {
    test::IntegrityFixture fixture;
    fixture.start();
    const AccessCode code = fixture.integrity->accessCode();
    EXPECT_EQ(code.path(), QDir(fixture.programDir).filePath("ZOLVelt.code"));
    EXPECT_EQ(code.state(), State::Factory);
    ASSERT_TRUE(code.replace("Весы-2026", "Весы-2026").isEmpty());
    fixture.integrity->record(event_kind::AccessCodeChanged, code.path());
    ASSERT_TRUE(QFile::remove(code.path()));
    EXPECT_EQ(fixture.integrity->accessCode().state(), State::Damaged);
    EXPECT_FALSE(Events::accessCode().confirms(kFactory));
}

}  // namespace
}  // namespace zv
