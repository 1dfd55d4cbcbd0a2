#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

namespace zv::office {

enum class Role { Office, Admin };

QString roleName(Role role);
std::optional<Role> parseRole(const QString& name);

struct Session {
    QString token;  // the cookie's value
    QString user;
    Role role = Role::Office;
    QString csrf;   // every changing form carries it back
    std::chrono::steady_clock::time_point created;
    std::chrono::steady_clock::time_point lastUsed;
};

// A random token of 32 bytes as hex, from libsodium.
QString randomToken();

// The sessions live in the service's memory only: a restart logs everyone out, and nothing
// a browser holds can be turned into a session elsewhere.
class SessionStore {
public:
    using Clock = std::chrono::steady_clock;

    SessionStore(std::chrono::seconds idle, std::chrono::seconds lifetime) : idle_(idle), lifetime_(lifetime) {}

    Session create(const QString& user, Role role);
    // The session of a token, touched; nullopt for none, an expired one (then dropped).
    std::optional<Session> find(const QString& token);
    void remove(const QString& token);
    // A disabled user loses every session at once.
    void removeUser(const QString& user);

    void setClock(std::function<Clock::time_point()> now) { now_ = std::move(now); }

private:
    std::mutex mutex_;
    QHash<QString, Session> sessions_;
    std::chrono::seconds idle_;
    std::chrono::seconds lifetime_;
    std::function<Clock::time_point()> now_ = [] { return Clock::now(); };
};

// After a wrong password a user name may not try again for a pause that doubles with each
// failure (up to a limit), so guessing is slow without holding a thread asleep.
class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;

    LoginThrottle(std::chrono::milliseconds first, std::chrono::milliseconds longest) : first_(first), longest_(longest) {}

    // How long the name must still wait; zero when it may try.
    std::chrono::milliseconds wait(const QString& user);
    void failed(const QString& user);
    void succeeded(const QString& user);

private:
    struct Failures {
        int count = 0;
        Clock::time_point until;
    };
    std::mutex mutex_;
    QHash<QString, Failures> failures_;
    std::chrono::milliseconds first_;
    std::chrono::milliseconds longest_;
};

}  // namespace zv::office
