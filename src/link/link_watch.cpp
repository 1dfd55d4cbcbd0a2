#include "link/link_watch.h"

#include <algorithm>

#include "link/serial_link.h"

namespace zv {

namespace {

// Unsigned differences keep the comparisons right across the wrap of the tick.
bool reached(uint32_t now, uint32_t moment) {
    return static_cast<int32_t>(now - moment) >= 0;
}

}  // namespace

uint32_t LinkWatch::silenceLimitFor(int framesPerSecond) {
    if (framesPerSecond <= 0) return kMinSilenceMs;
    const auto periods = static_cast<uint32_t>(kSilentPeriods * 1000 / framesPerSecond);
    return std::max(kMinSilenceMs, periods);
}

LinkWatch::LinkWatch(QObject* parent)
    : QObject(parent), wallClock_([] { return QDateTime::currentDateTime(); }) {}

void LinkWatch::started(uint32_t now, bool opened) {
    watching_ = true;
    lost_ = false;
    cause_ = Cause::None;
    lastHeard_ = now;
    if (!opened) lose(now, Cause::PortError);
}

void LinkWatch::stopped() {
    watching_ = false;
    lost_ = false;
    cause_ = Cause::None;
}

void LinkWatch::reopened(uint32_t now, bool opened) {
    if (!isLost()) return;
    nextRetry_ = now + kRetryMs;
    if (opened)
        lastHeard_ = now;
    else
        cause_ = Cause::PortError;
}

void LinkWatch::frameArrived(uint32_t now) {
    lastHeard_ = now;
    if (!isLost()) return;
    lost_ = false;
    cause_ = Cause::None;
    emit linkRestored(now - lostSince_);
}

void LinkWatch::portFailed(uint32_t now) {
    if (!watching_) return;
    if (lost_) {
        cause_ = Cause::PortError;  // the same loss: silence first, then the port went
        return;
    }
    lose(now, Cause::PortError);
}

void LinkWatch::check(uint32_t now) {
    if (watching_ && !lost_ && now - lastHeard_ > silenceLimit_) lose(now, Cause::Silence);
}

void LinkWatch::hold(uint32_t now) {
    lastHeard_ = now;
    if (lost_) nextRetry_ = now + kRetryMs;
}

bool LinkWatch::retryDue(uint32_t now) const {
    return isLost() && reached(now, nextRetry_);
}

void LinkWatch::lose(uint32_t now, Cause cause) {
    lost_ = true;
    cause_ = cause;
    lostSince_ = now;
    lostAt_ = wallClock_();
    nextRetry_ = now + kRetryMs;
    emit linkLost(cause);
}

QString LinkWatch::lostAtText() const {
    const bool today = lostAt_.date() == wallClock_().date();
    return lostAt_.toString(today ? QStringLiteral("HH:mm:ss") : QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

QString LinkWatch::stateText(uint32_t now) const {
    if (!watching_) return QStringLiteral("не подключено");
    if (!lost_) return QStringLiteral("связь есть");
    const uint32_t left = reached(now, nextRetry_) ? 0 : nextRetry_ - now;
    const uint32_t seconds = std::max<uint32_t>(1, (left + 999) / 1000);
    return QStringLiteral("нет связи с %1, повтор через %2 с").arg(lostAtText()).arg(seconds);
}

QString LinkWatch::statusText(const QString& portName) const {
    if (!isLost()) return {};
    const QString why = cause_ == Cause::Silence ? QStringLiteral("нет данных с порта ") + portName
                                                 : QStringLiteral("порт %1 не доступен").arg(portName);
    return QStringLiteral("Нет связи с весами с %1 (%2)").arg(lostAtText(), why);
}

QString LinkWatch::lossMessage(const QString& portName) const {
    if (cause_ == Cause::Silence)
        return QStringLiteral("Нет связи с весами: с порта %1 не поступают данные").arg(portName);
    return SerialLink::portUnavailableText(portName);
}

QString LinkWatch::durationText(uint32_t ms) {
    const uint32_t s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace zv
