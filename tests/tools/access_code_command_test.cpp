// zolvelt-tool set-access-code on a real program folder: the codes from standard input, the
// change and every refusal in the event log of the tables folder.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <QDir>
#include <QFile>

#include "integrity/access_code.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/seal_key.h"
#include "records/clock.h"
#include "support/temp_dir.h"
#include "tools/tool_run.h"

namespace zv {
namespace {

using test::run;
using test::ToolRun;
using ::testing::HasSubstr;

// A program folder: an empty settings file (the tables in "DB" beside it) and the seal key.
struct ProgramFolder {
    test::TempDir dir;
    QString folder = QString::fromStdString(dir.path().string());
    QString ini = QDir(folder).filePath("ZOLVelt.ini");
    SealPaths paths = sealPathsBeside(ini);
    QByteArray key;

    ProgramFolder() {
        QFile(ini).open(QIODevice::WriteOnly);
        QDir(folder).mkdir("DB");
        QString error;
        key = loadOrCreateSealKey(paths.key, &error);
    }
    ToolRun setCode(const std::string& input) const { return run({"set-access-code", "--settings", ini.toStdString()}, input); }
    int logged(const QString& kind) const {
        SystemClock clock;
        EventLog log(clock);
        log.open(QDir(folder).filePath("DB"), key);
        return log.countOf(kind);
    }
    AccessCode code() const { return AccessCode(paths.code, logged(event_kind::AccessCodeChanged) > 0); }
};

TEST(SetAccessCodeCommand, ChangesTheCodeOnlyAfterTheCurrentOneAndLogsBoth) {
    ProgramFolder program;
    ASSERT_FALSE(program.key.isEmpty());

    const ToolRun refused = program.setCode("wqpzlt\nshort\nshort\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Код доступа: от 6 до 64 знаков\n");

    const ToolRun changed = program.setCode("wqpzlt\nВесы-2026\r\nВесы-2026\n");
    EXPECT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, "Код доступа изменен\n");
    EXPECT_TRUE(program.code().confirms("Весы-2026"));

    const ToolRun wrong = program.setCode("wqpzlt\nдругой-код\nдругой-код\n");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "Неверный код доступа\n");
    EXPECT_TRUE(program.code().confirms("Весы-2026"));
    EXPECT_EQ(program.logged(event_kind::AccessCodeChanged), 1);
    EXPECT_EQ(program.logged(event_kind::WrongAccessCode), 1);

    // No code ever comes from the command line.
    EXPECT_EQ(run({"set-access-code", "--settings", program.ini.toStdString(), "--code", "x"}).status, 2);
    EXPECT_EQ(run({"set-access-code"}).status, 2);
}

// The tests run with their own rights on the folder, as root or a member of the records group
// would: a deleted or damaged file is replaced without the current code, which nobody knows.
TEST(SetAccessCodeCommand, ADamagedFileIsReplacedBySomeoneWithTheRecordsRights) {
    ProgramFolder program;
    ASSERT_EQ(program.setCode("wqpzlt\nВесы-2026\nВесы-2026\n").status, 0);
    ASSERT_TRUE(QFile::remove(program.paths.code));

    const ToolRun replaced = program.setCode("новый-код\nновый-код\n");
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_THAT(replaced.err, HasSubstr("удален в обход программы"));
    EXPECT_EQ(replaced.out, "Код доступа изменен\n");
    EXPECT_TRUE(program.code().confirms("новый-код"));
    EXPECT_FALSE(program.code().confirms("wqpzlt"));
    EXPECT_EQ(program.logged(event_kind::AccessCodeChanged), 2);
}

TEST(SetAccessCodeCommand, WithoutTheKeyNothingChanges) {
    ProgramFolder program;
    ASSERT_TRUE(QFile::remove(program.paths.key));
    const ToolRun noKey = program.setCode("wqpzlt\nВесы-2026\nВесы-2026\n");
    EXPECT_EQ(noKey.status, 2);
    EXPECT_THAT(noKey.err, HasSubstr("cannot read the seal key"));
    EXPECT_FALSE(QFile::exists(program.paths.code));
}

}  // namespace
}  // namespace zv
