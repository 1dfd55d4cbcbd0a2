#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/app_fixture.h"
#include "records/table.h"
#include "ui/modal.h"

namespace {

using zv::test::AppFixture;

TEST(StartUpFailure, TablesThatCannotBeOpenedEndTheStartWithTheFolderNamed) {
    AppFixture app;
    ASSERT_TRUE(QFile::remove(app.folder() + "t.ttb"));  // the template of Trains is lost
    TMain& main = app.create();
    zv::ModalScript script;
    EXPECT_FALSE(main.Prepare());
    EXPECT_TRUE(script.shown().isEmpty()) << "no shift is chosen for a program that ends";
    ASSERT_FALSE(app.messages.texts().isEmpty());
    const QString error = app.messages.texts().last();
    EXPECT_TRUE(error.startsWith("Не удалось открыть базу данных в папке")) << error.toStdString();
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(app.folder() + "DB")))
        << error.toStdString();
    EXPECT_TRUE(error.contains("Trains")) << error.toStdString();
}

TEST(StartUpFailure, ASettingsFileThatCannotBeWrittenBackIsReported) {
    AppFixture app;
    zv::Settings settings = zv::test::testScale();
    settings.Path.clear();  // its default is written back at start-up
    app.writeSettings(settings);
    ASSERT_TRUE(QDir(app.folder()).mkdir("ZOLVelt.ini.tmp"));  // the new file cannot be made
    app.start();
    EXPECT_TRUE(app.messages.texts().contains("Unable to write to " + app.folder() + "ZOLVelt.ini"))
        << app.messages.texts().join(" | ").toStdString();
}

TEST(StartUpAfterACrash, APlaceholderWagonLeftBehindIsRemoved) {
    AppFixture app;
    {
        zv::Table& wagons = app.start().records().Wagons();
        wagons.insertValues({{"Wagon", "N"}, {"Load", 0}});
        wagons.insertValues({{"Wagon", "12345678"}, {"Weight", 23000}});
        wagons.flush();
    }
    zv::Table& wagons = app.restart().records().Wagons();
    EXPECT_FALSE(wagons.findKey("N"));
    ASSERT_TRUE(wagons.findKey("12345678"));
    EXPECT_EQ(wagons.toInt("Weight"), 23000);
}

}  // namespace
