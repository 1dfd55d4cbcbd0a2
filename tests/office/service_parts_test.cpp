#include "office/listen_address.h"
#include "office/office_users.h"
#include "office/sessions.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

using namespace std::chrono_literals;

TEST(OfficeListen, ReadsAddressesAndKeepsPlainHttpOnLoopbackUnlessAllowed) {
    struct Case {
        const char* text;
        bool valid;
        bool loopback;
    };
    const Case cases[] = {
        {"127.0.0.1:8080", true, true}, {"127.1.2.3:1", true, true},   {"[::1]:8080", true, true},
        {"0.0.0.0:8080", true, false},  {"10.0.0.5:80", true, false},  {"[::]:8080", true, false},
        {"localhost:8080", false, false}, {"127.0.0.1", false, false}, {"127.0.0.1:70000", false, false},
        {"::1:8080", false, false},     {"127.0.0.1:x", false, false},
    };
    for (const Case& c : cases) {
        const auto address = office::parseListenAddress(QString::fromLatin1(c.text));
        ASSERT_EQ(address.has_value(), c.valid) << c.text;
        if (!address) continue;
        EXPECT_EQ(address->loopback(), c.loopback) << c.text;
        EXPECT_EQ(office::listenRefusal(*address, false).isEmpty(), c.loopback) << c.text;
        EXPECT_TRUE(office::listenRefusal(*address, true).isEmpty()) << c.text;
    }
}

TEST(OfficeSessions, EndWhenIdleOrOldAndTheirTokensAreUnguessable) {
    auto now = std::chrono::steady_clock::time_point{} + 1000h;
    office::SessionStore store(30min, 10h);
    store.setClock([&] { return now; });
    const office::Session s = store.create(QStringLiteral("anna"), office::Role::Admin);
    EXPECT_EQ(s.token.size(), 64);
    EXPECT_NE(s.token, s.csrf);
    EXPECT_NE(store.create(QStringLiteral("anna"), office::Role::Admin).token, s.token);
    // Used every 20 minutes it lives until its lifetime is over.
    for (int i = 0; i < 29; ++i) {
        now += 20min;
        ASSERT_TRUE(store.find(s.token)) << i;
    }
    now += 21min;  // past ten hours
    EXPECT_FALSE(store.find(s.token));
    const office::Session idle = store.create(QStringLiteral("boris"), office::Role::Office);
    now += 31min;
    EXPECT_FALSE(store.find(idle.token));
    const office::Session third = store.create(QStringLiteral("boris"), office::Role::Office);
    store.removeUser(QStringLiteral("boris"));
    EXPECT_FALSE(store.find(third.token));
}

TEST(OfficeSessions, TheLoginPauseDoublesUpToItsLimitAndASuccessClearsIt) {
    office::LoginThrottle throttle(1000ms, 4000ms);
    EXPECT_EQ(throttle.wait(QStringLiteral("anna")), 0ms);
    throttle.failed(QStringLiteral("anna"));
    EXPECT_GT(throttle.wait(QStringLiteral("anna")), 900ms);
    throttle.failed(QStringLiteral("anna"));
    EXPECT_GT(throttle.wait(QStringLiteral("anna")), 1900ms);
    for (int i = 0; i < 5; ++i) throttle.failed(QStringLiteral("anna"));
    EXPECT_GT(throttle.wait(QStringLiteral("anna")), 3900ms);
    EXPECT_LE(throttle.wait(QStringLiteral("anna")), 4000ms);
    EXPECT_EQ(throttle.wait(QStringLiteral("boris")), 0ms);  // each name its own
    throttle.succeeded(QStringLiteral("anna"));
    EXPECT_EQ(throttle.wait(QStringLiteral("anna")), 0ms);
}

TEST(OfficePasswords, AreArgon2idHashesThatCheckOnlyTheirPassword) {
    const QString hash = office::hashPassword(QStringLiteral("пароль-1"), office::HashCost::Minimal);
    EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_NE(office::hashPassword(QStringLiteral("пароль-1"), office::HashCost::Minimal), hash);  // salted
    EXPECT_TRUE(office::verifyPassword(hash, QStringLiteral("пароль-1")));
    EXPECT_FALSE(office::verifyPassword(hash, QStringLiteral("пароль-2")));
    EXPECT_FALSE(office::verifyPassword({}, {}, office::HashCost::Minimal));
}

}  // namespace
}  // namespace zv
