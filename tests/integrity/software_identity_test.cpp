#include "integrity/software_identity.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(SoftwareIdentity, IsTheVersionAndTheFirstDigitsOfTheFilesSha256) {
    test::TempDir dir;
    const QString path = QString::fromStdString((dir / "program").string());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    const SoftwareIdentity identity = identify(path);
    EXPECT_EQ(identity.checksum, "ba7816bf");  // SHA-256("abc") = ba7816bf 8f01cfea ...
    EXPECT_EQ(identity.text(), QStringLiteral("ZOLVelt %1 · ba7816bf").arg(programVersion()));
    EXPECT_FALSE(programVersion().isEmpty());
    EXPECT_EQ(identify(path + "-missing").text(), QStringLiteral("ZOLVelt %1 · ?").arg(programVersion()));
}

// The running program is the file the kernel runs, not whatever the program's own path says.
TEST(SoftwareIdentity, OfTheRunningProgramIsThatOfTheFileTheKernelRuns) {
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    ASSERT_FALSE(executable.isEmpty());
    const SoftwareIdentity running = identifyRunningProgram();
    EXPECT_EQ(running.checksum.size(), 8);
    EXPECT_EQ(running.text(), identify(executable).text());
}

}  // namespace
}  // namespace zv
