#include "central/central_fixture.h"
#include "office/html.h"
#include "office/office_fixture.h"
#include "records/train_storage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zv {
namespace {

using ::testing::HasSubstr;

// What a scale sends through the project's own push shows on the pages as it was stored.
TEST(OfficePushPath, ATrainStoredAndPushedByAScaleIsOnItsDayPage) {
    ZV_REQUIRE_POSTGRES();
    test::OfficeFixture f;
    f.start();
    test::OutboxFolder scale;
    StoreTrain(scale.open(), test::trainOf(3, QDateTime(QDate(2026, 12, 8), QTime(9, 0))));
    EXPECT_GT(central::Pusher(scale.f.dbDir(), QStringLiteral("east")).pushAll(f.owner), 0);

    test::OfficeClient c = f.loggedIn(QStringLiteral("boris"));
    EXPECT_THAT(c.get(QStringLiteral("/")).text().toStdString(), HasSubstr(">east<"));
    const QString day = c.get(QStringLiteral("/trains?scale=east&date=2026-12-08")).text();
    EXPECT_THAT(day.toStdString(), HasSubstr("Состав 1 — 08.12.2026 09:00:00, Въезд, вагонов: 3"));
    for (qint64 weight : {60000, 60001, 60002}) EXPECT_THAT(day.toStdString(), HasSubstr((u'>' + office::kg(weight) + u'<').toStdString()));
    EXPECT_THAT(day.toStdString(), HasSubstr(">5,5<"));
}

}  // namespace
}  // namespace zv
