#include "office/office_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace zv {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using test::OfficeFixture;

TEST(OfficeLogin, EveryPageButLoginSendsToTheLoginWithoutASession) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    for (const char* target : {"/", "/book?month=2026-12&scale=north", "/book.xlsx", "/trains", "/wagon?number=1", "/events",
                               "/integrity", "/users", "/nowhere"}) {
        const test::HttpReply reply = test::httpRequest(f.port(), QStringLiteral("GET"), QString::fromLatin1(target));
        EXPECT_EQ(reply.status, 303) << target;
        EXPECT_TRUE(reply.header(QStringLiteral("location")).startsWith(QStringLiteral("/login?next="))) << target;
        EXPECT_THAT(reply.text().toStdString(), Not(HasSubstr("Ромашка"))) << target;
    }
    // A forged session cookie is no session.
    const test::HttpReply forged = test::httpRequest(f.port(), QStringLiteral("GET"), QStringLiteral("/"), {},
                                                     {{QStringLiteral("Cookie"), QStringLiteral("zvo_session=00ff")}});
    EXPECT_EQ(forged.status, 303);
    const test::HttpReply login = test::httpRequest(f.port(), QStringLiteral("GET"), QStringLiteral("/login"));
    EXPECT_EQ(login.status, 200);
    EXPECT_THAT(login.text().toStdString(), HasSubstr("name=\"password\""));
}

TEST(OfficeLogin, LogsInWithACookieOnlyTheServiceReadsAndReturnsToThePageAsked) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    test::OfficeClient c = f.client();
    const test::HttpReply asked = c.get(QStringLiteral("/book?scale=north&month=2026-12"));
    const QString next = asked.header(QStringLiteral("location"));
    const test::HttpReply form = c.get(next);
    EXPECT_THAT(form.text().toStdString(), HasSubstr("value=\"/book?month=2026-12&amp;scale=north\""));
    // The browser's request for an icon, or a second tab at the login, leaves this form valid.
    const QString first = c.csrf();
    EXPECT_EQ(c.get(QStringLiteral("/favicon.ico")).status, 404);
    c.get(QStringLiteral("/login"));
    EXPECT_EQ(c.csrf(), first);
    const test::HttpReply in = c.post(QStringLiteral("/login"), {{QStringLiteral("csrf"), c.csrf()}, {QStringLiteral("user"), QStringLiteral("boris")},
                                                                 {QStringLiteral("password"), OfficeFixture::kPassword},
                                                                 {QStringLiteral("next"), QStringLiteral("/book?month=2026-12&scale=north")}});
    ASSERT_EQ(in.status, 303);
    EXPECT_EQ(in.header(QStringLiteral("location")), QStringLiteral("/book?month=2026-12&scale=north"));
    const QString cookie = in.header(QStringLiteral("set-cookie"));
    EXPECT_THAT(cookie.toStdString(), HasSubstr("zvo_session="));
    EXPECT_THAT(cookie.toStdString(), HasSubstr("HttpOnly"));
    EXPECT_THAT(cookie.toStdString(), HasSubstr("SameSite=Strict"));
    EXPECT_EQ(c.get(QStringLiteral("/")).status, 200);

    // Another site cannot be the place to return to.
    test::OfficeClient other = f.client();
    other.get(QStringLiteral("/login"));
    const test::HttpReply away = other.post(QStringLiteral("/login"), {{QStringLiteral("csrf"), other.csrf()}, {QStringLiteral("user"), QStringLiteral("boris")},
                                                                       {QStringLiteral("password"), OfficeFixture::kPassword},
                                                                       {QStringLiteral("next"), QStringLiteral("//evil.example/")}});
    EXPECT_EQ(away.header(QStringLiteral("location")), QStringLiteral("/"));
}

TEST(OfficeLogin, AWrongPasswordClosesTheNameForAPauseThatGrows) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    test::OfficeClient c = f.client();
    const test::HttpReply wrong = c.login(QStringLiteral("anna"), QStringLiteral("guess"));
    EXPECT_EQ(wrong.status, 403);
    EXPECT_THAT(wrong.text().toStdString(), HasSubstr("Неверное имя пользователя или пароль"));
    // Even the right password waits out the pause.
    const test::HttpReply paused = c.login(QStringLiteral("anna"), OfficeFixture::kPassword);
    EXPECT_EQ(paused.status, 429);
    EXPECT_THAT(paused.text().toStdString(), HasSubstr("закрыт еще на"));
    EXPECT_TRUE(c.cookie(QStringLiteral("zvo_session")).isEmpty());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(c.login(QStringLiteral("anna"), OfficeFixture::kPassword).status, 303);
    // An unknown name and a disabled user get the same answer as a wrong password.
    f.sql(QStringLiteral("UPDATE office.users SET disabled = true WHERE name = 'boris'"));
    for (const char* name : {"nobody", "boris"}) {
        test::OfficeClient d = f.client();
        const test::HttpReply r = d.login(QString::fromLatin1(name), OfficeFixture::kPassword);
        EXPECT_EQ(r.status, 403) << name;
        EXPECT_THAT(r.text().toStdString(), HasSubstr("Неверное имя пользователя или пароль")) << name;
    }
}

TEST(OfficeLogin, FormsWithoutTheirTokenAreRefused) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    // The login form's token must match its cookie: a form posted from elsewhere has neither.
    test::OfficeClient stranger = f.client();
    const test::HttpReply forged = stranger.post(QStringLiteral("/login"), {{QStringLiteral("csrf"), QStringLiteral("abcd")},
                                                                            {QStringLiteral("user"), QStringLiteral("anna")},
                                                                            {QStringLiteral("password"), OfficeFixture::kPassword}});
    EXPECT_EQ(forged.status, 403);
    EXPECT_TRUE(stranger.cookie(QStringLiteral("zvo_session")).isEmpty());

    test::OfficeClient anna = f.loggedIn(QStringLiteral("anna"));
    const QList<QPair<QString, QString>> addCarl = {{QStringLiteral("action"), QStringLiteral("add")}, {QStringLiteral("name"), QStringLiteral("carl")},
                                                    {QStringLiteral("role"), QStringLiteral("office")}, {QStringLiteral("password"), QStringLiteral("12345678")},
                                                    {QStringLiteral("password2"), QStringLiteral("12345678")}};
    for (const QString& token : {QString(), QStringLiteral("0123"), anna.csrf() + u'0'}) {
        EXPECT_EQ(anna.post(QStringLiteral("/users"), addCarl + QList<QPair<QString, QString>>{{QStringLiteral("csrf"), token}}).status, 403);
        EXPECT_EQ(anna.post(QStringLiteral("/logout"), {{QStringLiteral("csrf"), token}}).status, 403);
    }
    EXPECT_EQ(f.sql(QStringLiteral("SELECT count(*) FROM office.users WHERE name = 'carl'")), QStringLiteral("0"));
    EXPECT_EQ(anna.get(QStringLiteral("/")).status, 200);  // still logged in

    EXPECT_EQ(anna.post(QStringLiteral("/logout"), {{QStringLiteral("csrf"), anna.csrf()}}).status, 303);
    EXPECT_EQ(anna.get(QStringLiteral("/")).status, 303);
}

TEST(OfficeLogin, OnlyAnAdminKeepsTheUsersAndADisabledUserIsOutAtOnce) {
    ZV_REQUIRE_POSTGRES();
    OfficeFixture f;
    f.start();
    test::OfficeClient boris = f.loggedIn(QStringLiteral("boris"));
    EXPECT_EQ(boris.get(QStringLiteral("/users")).status, 403);
    EXPECT_THAT(boris.get(QStringLiteral("/")).text().toStdString(), Not(HasSubstr("href=\"/users\"")));
    const QList<QPair<QString, QString>> addCarl = {{QStringLiteral("action"), QStringLiteral("add")}, {QStringLiteral("name"), QStringLiteral("carl")},
                                                    {QStringLiteral("role"), QStringLiteral("admin")}, {QStringLiteral("password"), QStringLiteral("carl-pass-1")},
                                                    {QStringLiteral("password2"), QStringLiteral("carl-pass-1")}};
    EXPECT_EQ(boris.post(QStringLiteral("/users"), addCarl + QList<QPair<QString, QString>>{{QStringLiteral("csrf"), boris.csrf()}}).status, 403);
    EXPECT_EQ(f.sql(QStringLiteral("SELECT count(*) FROM office.users WHERE name = 'carl'")), QStringLiteral("0"));

    test::OfficeClient anna = f.loggedIn(QStringLiteral("anna"));
    anna.get(QStringLiteral("/users"));
    const test::HttpReply mismatch = anna.post(QStringLiteral("/users"), {{QStringLiteral("csrf"), anna.csrf()}, {QStringLiteral("action"), QStringLiteral("add")},
                                                                          {QStringLiteral("name"), QStringLiteral("carl")}, {QStringLiteral("role"), QStringLiteral("office")},
                                                                          {QStringLiteral("password"), QStringLiteral("carl-pass-1")},
                                                                          {QStringLiteral("password2"), QStringLiteral("carl-pass-2")}});
    EXPECT_THAT(mismatch.text().toStdString(), HasSubstr("Пароли не совпадают"));
    EXPECT_EQ(anna.post(QStringLiteral("/users"), addCarl + QList<QPair<QString, QString>>{{QStringLiteral("csrf"), anna.csrf()}}).status, 303);
    EXPECT_EQ(f.sql(QStringLiteral("SELECT role FROM office.users WHERE name = 'carl'")), QStringLiteral("admin"));
    EXPECT_EQ(f.client().login(QStringLiteral("carl"), QStringLiteral("carl-pass-1")).status, 303);

    EXPECT_EQ(anna.post(QStringLiteral("/users"), {{QStringLiteral("csrf"), anna.csrf()}, {QStringLiteral("action"), QStringLiteral("disable")},
                                                   {QStringLiteral("name"), QStringLiteral("boris")}}).status, 303);
    EXPECT_EQ(boris.get(QStringLiteral("/")).status, 303);  // the open session ended with it
    EXPECT_EQ(f.client().login(QStringLiteral("boris"), OfficeFixture::kPassword).status, 403);
    EXPECT_THAT(anna.get(QStringLiteral("/users")).text().toStdString(), HasSubstr("отключен"));
}

}  // namespace
}  // namespace zv
