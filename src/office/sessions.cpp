#include "office/sessions.h"

#include <sodium.h>

#include <algorithm>

namespace zv::office {

QString roleName(Role role) { return role == Role::Admin ? QStringLiteral("admin") : QStringLiteral("office"); }

std::optional<Role> parseRole(const QString& name) {
    if (name == QStringLiteral("admin")) return Role::Admin;
    if (name == QStringLiteral("office")) return Role::Office;
    return std::nullopt;
}

QString randomToken() {
    [[maybe_unused]] static const bool ready = sodium_init() >= 0;
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
}

Session SessionStore::create(const QString& user, Role role) {
    Session s{randomToken(), user, role, randomToken(), now_(), now_()};
    std::lock_guard lock(mutex_);
    sessions_.insert(s.token, s);
    return s;
}

std::optional<Session> SessionStore::find(const QString& token) {
    std::lock_guard lock(mutex_);
    const auto found = sessions_.find(token);
    if (found == sessions_.end()) return std::nullopt;
    const Clock::time_point now = now_();
    if (now - found->lastUsed > idle_ || now - found->created > lifetime_) {
        sessions_.erase(found);
        return std::nullopt;
    }
    found->lastUsed = now;
    return *found;
}

void SessionStore::remove(const QString& token) {
    std::lock_guard lock(mutex_);
    sessions_.remove(token);
}

void SessionStore::removeUser(const QString& user) {
    std::lock_guard lock(mutex_);
    sessions_.removeIf([&](const auto& item) { return item.value().user == user; });
}

std::chrono::milliseconds LoginThrottle::wait(const QString& user) {
    std::lock_guard lock(mutex_);
    const auto found = failures_.constFind(user);
    if (found == failures_.constEnd()) return {};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(found->until - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

void LoginThrottle::failed(const QString& user) {
    std::lock_guard lock(mutex_);
    Failures& f = failures_[user];
    ++f.count;
    auto pause = first_;
    for (int i = 1; i < f.count && pause < longest_; ++i) pause *= 2;
    f.until = Clock::now() + std::min(pause, longest_);
}

void LoginThrottle::succeeded(const QString& user) {
    std::lock_guard lock(mutex_);
    failures_.remove(user);
}

}  // namespace zv::office
