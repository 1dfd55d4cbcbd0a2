#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

namespace zv {

// The health of the converter's link while the engineer wants it connected. The link is lost
// when the port fails (it cannot be opened, a read fails, the device goes away) or when the
// open port brings no good frame for the silence limit. While it is lost a reopening is due
// every kRetryMs; the first good frame restores it. Nothing here touches the port: the owner
// reports what happened and reopens when retryDue() says so. Times are the wrapping
// millisecond tick of the program.
class LinkWatch : public QObject {
    Q_OBJECT

public:
    enum class Cause { None, PortError, Silence };

    static constexpr uint32_t kRetryMs = 5000;
    // About a second, and never fewer than this many conversion periods of a slow converter.
    static constexpr uint32_t kMinSilenceMs = 1000;
    static constexpr int kSilentPeriods = 20;
    static uint32_t silenceLimitFor(int framesPerSecond);

    using WallClock = std::function<QDateTime()>;

    explicit LinkWatch(QObject* parent = nullptr);

    // When a loss began, as the status bar says it; the system's local time by default.
    void setWallClock(WallClock clock) { wallClock_ = std::move(clock); }
    void setSilenceLimit(uint32_t ms) { silenceLimit_ = ms; }
    uint32_t silenceLimit() const { return silenceLimit_; }

    // The engineer wants the link: the port was opened (or not, which is a loss at once).
    void started(uint32_t now, bool opened);
    // The engineer disconnected: nothing is watched or retried any more.
    void stopped();
    // The result of a reopening the owner made because retryDue() said so.
    void reopened(uint32_t now, bool opened);
    void frameArrived(uint32_t now);
    void portFailed(uint32_t now);
    // Declares the silence; run on every tick that read the port.
    void check(uint32_t now);
    // Something else feeds the program for a while (a replay): that time is no silence.
    void hold(uint32_t now);
    bool retryDue(uint32_t now) const;

    bool watching() const { return watching_; }
    bool isLost() const { return watching_ && lost_; }
    Cause cause() const { return cause_; }
    // Tick and local time of the first moment without a link of the current loss.
    uint32_t lostSinceTick() const { return lostSince_; }
    QDateTime lostAt() const { return lostAt_; }

    // The line beside "Подключить": "связь есть", "нет связи с 15:41:07, повтор через 5 с".
    QString stateText(uint32_t now) const;
    // The status bar while the link is lost (empty otherwise).
    QString statusText(const QString& portName) const;
    // What the operator is told once per loss.
    QString lossMessage(const QString& portName) const;
    // "00:01:23"
    static QString durationText(uint32_t ms);

signals:
    void linkLost(zv::LinkWatch::Cause cause);
    void linkRestored(uint32_t outageMs);

private:
    void lose(uint32_t now, Cause cause);
    QString lostAtText() const;

    WallClock wallClock_;
    uint32_t silenceLimit_ = kMinSilenceMs;
    bool watching_ = false;
    bool lost_ = false;
    Cause cause_ = Cause::None;
    uint32_t lastHeard_ = 0;  // last good frame, or the opening
    uint32_t lostSince_ = 0;
    uint32_t nextRetry_ = 0;
    QDateTime lostAt_;
};

}  // namespace zv
