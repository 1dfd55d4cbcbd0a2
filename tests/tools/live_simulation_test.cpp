// zolvelt-tool simulate --pty, run as the real program: a reader on the pseudo-terminal gets
// the converter's frames at its pace, trains and all.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "link/frame_decoder.h"
#include "support/temp_dir.h"

extern char** environ;

namespace zv {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

// The tool as a child process: standard output on a pipe, standard error in a file.
class ToolProcess {
  public:
    ToolProcess(std::vector<std::string> args, const std::string& errFile) {
        args.insert(args.begin(), ZOLVELT_TOOL_PATH);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
        if (failed != 0) throw std::runtime_error("cannot start the tool");
    }
    ~ToolProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(out_);
    }

    std::string firstLine() {
        std::string line;
        char c;
        while (read(out_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    void signal(int number) { kill(pid_, number); }
    // The exit status, or -1 when it did not end normally within the time.
    int wait(std::chrono::seconds limit) {
        for (auto end = Clock::now() + limit; Clock::now() < end; usleep(10000)) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) != pid_) continue;
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

// What a reader of the line saw of one train: the frames from the first one after opening
// to the tenth empty one in a row after the load (the scale is also empty for a moment
// between the bogies of a wagon).
struct TrainSeen {
    int frames = 0, loaded = 0, marks = 0;
    int firstLoadedSlot = -1;
};

// Reads the line as the program does (raw mode, frame decoder) until a train has come and
// gone; two platforms of one input each, zero code 1000 and 2 kg per code unit.
TrainSeen readTrain(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_NOCTTY);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    FrameDecoder decoder;
    decoder.setLayout(0, 1);
    TrainSeen seen;
    int emptyAfterLoad = 0;
    const auto end = Clock::now() + std::chrono::seconds(5);
    for (bool gone = false; !gone && Clock::now() < end;) {
        pollfd p{fd, POLLIN, 0};
        uint8_t bytes[256];
        ssize_t n = poll(&p, 1, 100) > 0 ? read(fd, bytes, sizeof bytes) : 0;
        for (ssize_t i = 0; i < n && !gone; ++i) {
            if (!decoder.feed(bytes[i])) continue;
            const DecodedFrame& frame = decoder.frame();
            ++seen.frames;
            seen.marks += frame.calibrationMark;
            bool loaded = false;
            for (int slot : {0, 4})
                if (frame.codes[slot] > 3000) {
                    loaded = true;
                    if (seen.firstLoadedSlot < 0) seen.firstLoadedSlot = slot;
                }
            seen.loaded += loaded;
            emptyAfterLoad = loaded || seen.loaded == 0 ? 0 : emptyAfterLoad + 1;
            gone = emptyAfterLoad == 10;
        }
    }
    close(fd);
    return seen;
}

class LiveSimulation : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(dir / "scale.ini") << "[Scales]\r\nNpl=1\r\nNadc=0\r\nFadc=50\r\n";
    }
    std::vector<std::string> args(std::vector<std::string> more) const {
        std::vector<std::string> all = {
            "simulate", "--pty",
            "--ini",    (dir / "scale.ini").string(),
            "--zero",   "1000,1000,1000,1000,1000,1000,1000,1000",
            "--coef",   "2000000,2000000,2000000,2000000,2000000,2000000,2000000,2000000",
            "--wagons", "1",
            "--speed",  "50",
            "--empty",  "0.3"};
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }
    std::string errors() const {
        std::ifstream in(dir / "err.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    test::TempDir dir;
};

// The line is read by one reader for the first train and by another for the second, as when
// the program is restarted; the frames nobody read in between are dropped, not fatal.
TEST_F(LiveSimulation, PlaysEachTrainToWhoeverReadsAndEndsAfterTheLast) {
    ToolProcess tool(args({"--wait", "1", "--pause", "0.3", "--trains", "2"}),
                     (dir / "err.txt").string());
    const std::string path = tool.firstLine();
    ASSERT_THAT(path, HasSubstr("/dev/pts/"));
    usleep(200000);  // nobody reads yet

    std::vector<TrainSeen> trains = {readTrain(path), readTrain(path)};
    for (const TrainSeen& seen : trains) {
        EXPECT_GT(seen.loaded, 10);
        EXPECT_GE(seen.marks, seen.frames / 50);  // a mark every Fadc frames
        EXPECT_LE(seen.marks, seen.frames / 50 + 1);
    }
    EXPECT_EQ(trains[0].firstLoadedSlot, 0);  // direction +1 reaches platform 1 first
    EXPECT_EQ(trains[1].firstLoadedSlot, 4);  // the next train comes the other way
    EXPECT_EQ(tool.wait(std::chrono::seconds(5)), 0);
    EXPECT_THAT(errors(), HasSubstr("simulate: 2 trains"));
}

TEST_F(LiveSimulation, EndsCleanlyOnTerminationWithNobodyReading) {
    ToolProcess tool(args({}), (dir / "err.txt").string());
    ASSERT_THAT(tool.firstLine(), HasSubstr("/dev/pts/"));
    usleep(300000);
    tool.signal(SIGTERM);
    EXPECT_EQ(tool.wait(std::chrono::seconds(2)), 0);
    EXPECT_THAT(errors(), HasSubstr("simulate: 0 trains"));
}

}  // namespace
}  // namespace zv
