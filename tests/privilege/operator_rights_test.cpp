#include "privilege/operator_rights.h"
#include "support/operator_identity.h"
#include "support/temp_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

namespace zv {
namespace {

using test::kOperator;
using test::kRecordsGroup;

// Creates `path` as the process may, then tells whether it could.
bool createsPlainly(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0660);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

class OperatorRightsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::canBecomeOperator()) GTEST_SKIP() << "needs root to make an operator";
        test::makeRecordsFolder(records_);
        test::makeOperatorFolder(own_);
    }

    test::TempDir dir_;
    std::filesystem::path records_ = dir_ / "DB";
    std::filesystem::path own_ = dir_ / "home";
};

// The child reports each failed step as a bit of its exit status.
TEST_F(OperatorRightsTest, OpensWithTheOperatorsGroupAndGivesTheRecordsGroupBack) {
    const int failed = test::runAsOperator([&] {
        int bits = 0;
        if (!createsPlainly(records_ / "Trains.db")) bits |= 1;  // the program's own rights
        const int refused = openAsOperator((records_ / "Trains.db").string(), O_WRONLY | O_TRUNC);
        if (refused >= 0 || errno != EACCES) bits |= 2;
        const int mine = openAsOperator((own_ / "report.pdf").string(), O_WRONLY | O_CREAT | O_TRUNC);
        struct stat st {};
        if (mine < 0 || ::fstat(mine, &st) != 0 || st.st_gid != kOperator) bits |= 4;
        if (!createsPlainly(records_ / "Wagons.db")) bits |= 8;  // the group is back
        return bits;
    });
    EXPECT_EQ(failed, 0);
}

TEST_F(OperatorRightsTest, GivingTheGroupUpForGoodLeavesNoWayBack) {
    const int failed = test::runAsOperator([&] {
        int bits = 0;
        if (!keepOnlyOperatorRights()) bits |= 1;
        gid_t r, e, s;
        if (::getresgid(&r, &e, &s) != 0 || r != kOperator || e != kOperator || s != kOperator) bits |= 2;
        if (createsPlainly(records_ / "Trains.db")) bits |= 4;
        if (::setegid(kRecordsGroup) == 0) bits |= 8;
        if (!createsPlainly(own_ / "capture.bin")) bits |= 16;
        return bits;
    });
    EXPECT_EQ(failed, 0);
}

}  // namespace
}  // namespace zv
