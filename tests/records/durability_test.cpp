#include "records_fixture.h"

#include "records/sqlite_file.h"
#include "records/train_storage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zv {
namespace {

constexpr int kWagons = 20;

// Runs in the child: stores trains until killed, reporting each number once it is flushed.
[[noreturn]] void storeTrainsForever(test::RecordsFixture& f, int reportFd, int round) {
    RecordsDatabase records(f.settings, f.programDir, f.clock, f.notifier);
    records.DBOpen();
    const QDateTime start = QDateTime(QDate(2026, 12, 9), QTime(0, 0)).addDays(round);
    for (int i = 0;; ++i) {
        StoredTrain train;
        for (int w = 0; w < kWagons; ++w) {
            StoredWagonRow row;
            row.Time = WallTime(std::chrono::milliseconds(start.addSecs(60 * i + w).toMSecsSinceEpoch()));
            row.Weight = 60000;
            row.Axle = 4;
            train.rows.push_back(row);
        }
        const int n = StoreTrain(records, train);
        if (write(reportFd, &n, sizeof n) != sizeof n) _exit(2);
    }
}

std::vector<int> readReports(int fd) {
    std::vector<int> numbers;
    int n = 0;
    while (read(fd, &n, sizeof n) == sizeof n) numbers.push_back(n);
    return numbers;
}

// Blocks until the child has flushed its first train, so every round kills a busy writer
// however slow the machine is; false when the child died first.
bool waitForFirstReport(int fd, std::vector<int>& flushed) {
    int n = 0;
    if (read(fd, &n, sizeof n) != sizeof n) return false;
    flushed.push_back(n);
    return true;
}

TEST(Durability, TrainsReportedAsFlushedSurviveASigkill) {
    test::RecordsFixture f;
    f.open();
    f.records.reset();

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> lifetimeMs(0, 200);
    SCOPED_TRACE("seed " + std::to_string(seed));

    std::vector<int> flushed;
    for (int round = 0; round < 5; ++round) {
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            storeTrainsForever(f, pipeFds[1], round);
        }
        close(pipeFds[1]);
        ASSERT_TRUE(waitForFirstReport(pipeFds[0], flushed)) << "the child stopped before storing a train";
        std::this_thread::sleep_for(std::chrono::milliseconds(lifetimeMs(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended on its own: " << status;
        const std::vector<int> reported = readReports(pipeFds[0]);
        close(pipeFds[0]);
        flushed.insert(flushed.end(), reported.begin(), reported.end());
    }
    ASSERT_FALSE(flushed.empty());

    SqliteFile file;
    file.open(QDir(f.dbDir()).filePath(QStringLiteral("Trains.db")), false);
    SqlStatement check = file.prepare(QStringLiteral("PRAGMA integrity_check"));
    ASSERT_TRUE(check.step());
    EXPECT_EQ(check.column(0).toString(), QStringLiteral("ok"));
    SqlStatement count = file.prepare(QStringLiteral("SELECT count(*) FROM Trains WHERE Train=?"));
    for (int n : flushed) {
        count.reset();
        count.bind(1, n);
        ASSERT_TRUE(count.step());
        EXPECT_EQ(count.columnInt64(0), kWagons) << "train " << n;
    }
}

}  // namespace
}  // namespace zv
