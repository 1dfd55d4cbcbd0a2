#include "link/serial_link.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <vector>

#include "link/frame_bytes.h"
#include "pty_pair.h"

namespace zv::test {
namespace {

const Slots A{1, 2, 3, 4, 5, 6, 7, 8};
const Slots B{10, 20, 30, 40, 50, 60, 70, 80};
const Slots C{65535, 0, 1, 0, 2, 0, 3, 0};

// Lets QSerialPort take the bytes from the pty, then polls as the tick would.
template <class Done>
bool pumpUntil(SerialLink& link, Done done, int timeoutMs = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents();
        link.poll();
        usleep(1000);
    }
    return true;
}

void pumpFor(SerialLink& link, int ms) {
    pumpUntil(
        link, [] { return false; }, ms);
}

class SerialLinkOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        link.setPortName(QString::fromStdString(pty.slaveName()));
        link.decoder().setLayout(2, 1);
        link.setFrameHandler([this](const DecodedFrame& f) { samples.push_back(f.codes); });
        QObject::connect(&link, &SerialLink::aboutToOpen, [this] { ++openings; });
        QObject::connect(&link, &SerialLink::failed,
                         [this](const QString& message) { failures << message; });
    }

    PtyPair pty;
    SerialLink link;
    std::vector<Slots> samples;
    int openings = 0;
    QStringList failures;
};

TEST_F(SerialLinkOverPty, FramesWrittenByTheConverterArriveAsSamples) {
    link.setBaudRate("38400");
    link.setParity("odd");
    ASSERT_TRUE(link.open()) << link.errorString().toStdString();
    EXPECT_EQ(openings, 1);

    const termios t = pty.slaveSettings();
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B38400));
    // A pty always clears PARENB, but keeps which parity was asked for.
    EXPECT_TRUE(t.c_cflag & PARODD);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_FALSE(t.c_cflag & CRTSCTS);
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));

    pty.send(frameOf(A) + corrupted(frameOf(B)) + frameOf(C));
    ASSERT_TRUE(pumpUntil(link, [&] { return samples.size() == 2; }));
    EXPECT_EQ(samples, (std::vector<Slots>{A, C}));
    EXPECT_EQ(link.decoder().FrameErr(), 1);
    EXPECT_TRUE(failures.isEmpty());

    // A frame that straddles two ticks is put together across polls.
    const Bytes frame = frameOf(B);
    pty.send(firstBytes(frame, 9));
    pumpFor(link, 30);
    pty.send(Bytes(frame.begin() + 9, frame.end()));
    ASSERT_TRUE(pumpUntil(link, [&] { return samples.size() == 3; }));
    EXPECT_EQ(samples.back(), B);

    // Opening again starts the counters afresh and tells the filter stage.
    link.close();
    ASSERT_TRUE(link.open());
    EXPECT_EQ(openings, 2);
    EXPECT_EQ(link.decoder().FrameErr(), 0);
}

TEST_F(SerialLinkOverPty, PortThatDiesIsReportedOnceAndTheLinkCloses) {
    ASSERT_TRUE(link.open());
    pty.send(frameOf(A));
    ASSERT_TRUE(pumpUntil(link, [&] { return samples.size() == 1; }));

    pty.closeMaster();
    ASSERT_TRUE(pumpUntil(link, [&] { return !link.isOpen(); }));
    pumpFor(link, 100);
    EXPECT_EQ(failures, QStringList{QStringLiteral("Порт ") + link.portName() +
                                    QStringLiteral(" не доступен")});
    EXPECT_EQ(link.poll(), 0);
}

TEST(SerialLink, MissingPortIsReportedByName) {
    SerialLink link;
    link.setPortName("/dev/zolvelt-no-such-port");
    EXPECT_FALSE(link.open());
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.errorString().isEmpty());
    EXPECT_EQ(SerialLink::portUnavailableText(link.portName()),
              QStringLiteral("Порт /dev/zolvelt-no-such-port не доступен"));
    EXPECT_EQ(link.poll(), 0);
}

TEST(SerialLink, LineSettingNamesIgnoreLetterCaseAndFallBack) {
    struct Case {
        const char* given;
        const char* baudRate;
        const char* parity;
    };
    for (const Case& c : {Case{"115200", "115200", "None"}, Case{"custom", "Custom", "None"},
                          Case{"EVEN", "9600", "Even"}, Case{"eVeN", "9600", "Even"},
                          Case{"space", "9600", "Space"}, Case{"", "9600", "None"},
                          Case{"19 200", "9600", "None"}}) {
        SerialLink link;
        link.setBaudRate(c.given);
        link.setParity(c.given);
        EXPECT_EQ(link.baudRate(), c.baudRate) << c.given;
        EXPECT_EQ(link.parity(), c.parity) << c.given;
    }
}

TEST(SerialLink, ConfiguredPortIsOfferedEvenWhenTheSystemDoesNotListIt) {
    PtyPair pty;
    const QString name = QString::fromStdString(pty.slaveName());
    EXPECT_EQ(SerialLink::availablePorts(name).count(name), 1);

    const QStringList system = SerialLink::availablePorts(QString());
    for (const QString& port : system)
        EXPECT_EQ(SerialLink::availablePorts(port), system) << port.toStdString();
}

}  // namespace
}  // namespace zv::test
