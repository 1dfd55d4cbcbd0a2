// The table viewer driven as the operator drives it: clicks at the cells and buttons on
// screen, typed keys.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "admin/viewer_fixture.h"
#include "records/table_model.h"
#include "support/operator_input.h"

namespace zv::test {
namespace {

QModelIndex cell(QTableView* g, int row, const QString& field) {
    const auto* link = qobject_cast<const TableModel*>(g->model());
    for (int column = 0; column < link->columnCount(); ++column)
        if (link->fieldAt(column) == field) return link->index(row, column);
    ADD_FAILURE() << "no column " << field.toStdString();
    return {};
}

QList<Row> rowsOf(Table& table) { return table.readFilteredRows(); }

bool sameValues(const QList<Row>& a, const QList<Row>& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i)
        for (const FieldDef& field : a[i].def().fields)
            if (field.isStored() && a[i].value(field.name) != b[i].value(field.name)) return false;
    return true;
}

TEST_F(ViewerTest, ChoosingTheShownTableAgainKeepsTheGridWorking) {
    view(TDBView::Stations, [this](QDialog& d) {
        QTableView* g = grid(d);
        auto* tables = d.findChild<QComboBox*>("CBox1");
        choose(tables, "Станции");  // the table already shown
        choose(tables, "Станции");
        clickCell(g, cell(g, 1, "Station"));
        EXPECT_EQ(g->currentIndex().row(), 1);
        EXPECT_EQ(f.records->Stations().toInt("N"), g->model()->index(1, 0).data().toInt());
    });
}

TEST_F(ViewerTest, AStationIsAddedEditedAndDeletedByHand) {
    view(TDBView::Stations, [this](QDialog& d) {
        QTableView* g = grid(d);
        press(&d, "Insert");
        ASSERT_EQ(g->model()->rowCount(), 3);
        EXPECT_EQ(g->currentIndex().row(), 2);
        typeIntoCell(g, cell(g, 2, "N"), "7");
        typeIntoCell(g, cell(g, 2, "Station"), "Узловая");
        clickCell(g, cell(g, 0, "Station"));  // leaving the new row saves it
        EXPECT_EQ(f.records->Stations().recordCount(), 3);
        ASSERT_TRUE(f.records->Stations().findKey(7));
        EXPECT_EQ(f.records->Stations().value("Station").toString(), "Узловая");

        typeIntoCell(g, cell(g, 1, "Station"), "Сортировочная");
        ASSERT_TRUE(f.records->Stations().findKey(1));
        EXPECT_EQ(f.records->Stations().value("Station").toString(), "Сортировочная");

        clickCell(g, cell(g, 2, "N"));
        EXPECT_EQ(f.records->Stations().toInt("N"), 7);
        messages.answerYes();
        press(&d, "Delete");
        EXPECT_FALSE(f.records->Stations().findKey(7));
        EXPECT_EQ(g->model()->rowCount(), 2);
        press(&d, "But2");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(messages.texts(), QStringList{"Удалить запись?"});
    RecordsDatabase second(f.settings, f.programDir, f.clock, f.notifier);
    second.DBOpen();
    ASSERT_TRUE(second.Stations().findKey(1));
    EXPECT_EQ(second.Stations().value("Station").toString(), "Сортировочная");
    EXPECT_EQ(second.Stations().recordCount(), 2);
}

// A changed key moves its row to its new place; the grid and the table's cursor go with it.
TEST_F(ViewerTest, ChangingAKeyKeepsTheCursorOnTheMovedRow) {
    view(TDBView::Stations, [this](QDialog& d) {
        QTableView* g = grid(d);
        typeIntoCell(g, cell(g, 0, "N"), "9");
        EXPECT_EQ(cell(g, 1, "Station").data().toString(), "Прочие");
        EXPECT_EQ(g->currentIndex().row(), 1);
        EXPECT_EQ(f.records->Stations().toInt("N"), 9);
        QTest::keyClick(g, Qt::Key_Up);
        EXPECT_EQ(f.records->Stations().toInt("N"), 1);
    });
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

// A new row whose proposed key was wiped out, or with a key already taken, is refused whichever way the
// operator leaves it: the table's message once per attempt, the row stays for correction,
// and "✗" takes it back. Nothing reaches the table.
TEST_F(ViewerTest, ARefusedNewRowStaysForCorrection) {
    enum Leave { ClickAnotherRow, DoubleClickAnotherRow, PageUp, AnotherTable };
    const struct {
        const char* key;
        Leave leave;
    } cases[] = {{"", ClickAnotherRow},  {"", DoubleClickAnotherRow},  {"", PageUp},
                 {"", AnotherTable},     {"5", ClickAnotherRow},       {"5", DoubleClickAnotherRow},
                 {"5", PageUp},          {"5", AnotherTable}};
    f.records->Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("key '") + c.key + "', way " + std::to_string(c.leave));
        messages.clear();
        view(TDBView::Loads, [&](QDialog& d) {
            QTableView* g = grid(d);
            auto* selector = d.findChild<QComboBox*>("CBox1");
            press(&d, "Insert");
            const int newRow = g->model()->rowCount() - 1;
            if (*c.key) {
                typeIntoCell(g, cell(g, newRow, "N"), c.key);
            } else {  // the proposed key wiped out
                QLineEdit* editor = openEditor(g, cell(g, newRow, "N"));
                ASSERT_NE(editor, nullptr);
                editor->selectAll();
                QTest::keyClick(editor, Qt::Key_Backspace);
                pressEnter(editor);
            }
            typeIntoCell(g, cell(g, newRow, "Load"), "Щебень");
            for (int attempt = 1; attempt <= 2; ++attempt) {
                if (c.leave == PageUp)
                    QTest::keyClick(g, Qt::Key_PageUp);
                else if (c.leave == AnotherTable)
                    QTest::keyClick(selector, Qt::Key_Down);  // "Станции"
                else if (c.leave == DoubleClickAnotherRow)
                    EXPECT_EQ(openEditor(g, cell(g, 0, "Load")), nullptr);
                else
                    clickCell(g, cell(g, 0, "Load"));
                QCoreApplication::processEvents();
                EXPECT_EQ(messages.shown().size(), static_cast<size_t>(attempt));
                EXPECT_EQ(g->currentIndex().row(), newRow);
                EXPECT_EQ(selector->currentIndex(), TDBView::Loads);
                EXPECT_EQ(f.records->Loads().state(), Table::State::Insert);
            }
            press(&d, "Cancel");
            EXPECT_EQ(g->model()->rowCount(), newRow);
        });
        EXPECT_EQ(messages.shown().size(), 2u);
        for (const Message& m : messages.shown()) EXPECT_EQ(m.kind, MessageKind::Error);
        EXPECT_EQ(f.records->Loads().recordCount(), 3);
        EXPECT_TRUE(viewer.isHidden());
    }
}

// "+" proposes the next free key, counting the rows the viewer does not show (the two fixed
// loads); a key already taken is refused once, in the window's own name of the table.
TEST_F(ViewerTest, PlusProposesTheNextFreeKeyAndATakenKeyIsNamedAsTheWindowNamesTheTable) {
    f.records->Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
    view(TDBView::Loads, [&](QDialog& d) {
        QTableView* g = grid(d);
        press(&d, "Insert");
        const int newRow = g->model()->rowCount() - 1;
        EXPECT_EQ(cell(g, newRow, "N").data().toString(), "6");
        typeIntoCell(g, cell(g, newRow, "Load"), "Щебень");
        press(&d, "Post");
        EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
        ASSERT_TRUE(f.records->Loads().findKey(6));
        EXPECT_EQ(f.records->Loads().value("Load").toString(), "Щебень");

        press(&d, "Insert");
        const int second = g->model()->rowCount() - 1;
        EXPECT_EQ(cell(g, second, "N").data().toString(), "7");
        typeIntoCell(g, cell(g, second, "N"), "1");
        typeIntoCell(g, cell(g, second, "Load"), "Песок");
        press(&d, "Post");
        QCoreApplication::processEvents();
        EXPECT_EQ(messages.texts(), QStringList{"В таблице \"Грузы\" уже есть запись с ключом N = 1"});
        press(&d, "Cancel");
        press(&d, "Insert");  // and nothing typed: leaving the row stores no empty row
        clickCell(g, cell(g, 0, "Load"));
        EXPECT_EQ(g->model()->rowCount(), newRow + 1);
        press(&d, "Insert");  // nor does closing
    });
    EXPECT_EQ(f.records->Loads().recordCount(), 4);
    EXPECT_EQ(messages.texts().size(), 1);
}

// Closing the viewer on a refused row shows why and loses nothing that was stored.
TEST_F(ViewerTest, ClosingOnARefusedRowShowsItOnce) {
    view(TDBView::Clients, [this](QDialog& d) {
        press(&d, "Insert");
        typeIntoCell(grid(d), cell(grid(d), 2, "N"), "1");
        press(&d, "But2");
    });
    EXPECT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(f.records->Clients().recordCount(), 2);
    EXPECT_EQ(f.records->Clients().state(), Table::State::Browse);
}

// "✗" forgets a typed cell, whatever the operator clicks next.
TEST_F(ViewerTest, CancelForgetsATypedCell) {
    const char* next[] = {"Refresh", "header", "row", "Post"};
    for (const char* then : next) {
        SCOPED_TRACE(then);
        view(TDBView::Stations, [&](QDialog& d) {
            QTableView* g = grid(d);
            clickCell(g, cell(g, 1, "Station"));
            QTest::keyClicks(g, "7");
            ASSERT_NE(g->indexWidget(cell(g, 1, "Station")), nullptr);
            press(&d, "Cancel");
            if (std::string(then) == "header") {
                QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::LeftButton, {},
                                  {g->columnViewportPosition(0) + 5, 5});
                EXPECT_EQ(f.records->Stations().toInt("N"), 1);  // a heading moves no cursor
            }
            else if (std::string(then) == "row")
                clickCell(g, cell(g, 0, "Station"));
            else
                press(&d, then);
        });
        ASSERT_TRUE(f.records->Stations().findKey(1));
        EXPECT_EQ(f.records->Stations().value("Station").toString(), "Станция 1");
    }
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
}

// Opening a cell's editor and leaving it writes nothing back, and what the editor shows
// reads back as the stored value: times with milliseconds, masses shown rounded or with
// their unit.
TEST_F(ViewerTest, AnUnchangedCellKeepsItsStoredValue) {
    Table& book = f.records->Book();
    book.insertValues({{"Wagon", "51234567"},
                       {"Time1", QDateTime(QDate(2026, 12, 1), QTime(9, 0, 0, 0))},
                       {"Time2", QDateTime(QDate(2026, 12, 1), QTime(10, 0, 5, 123))},
                       {"Brut", 61000},
                       {"Tare", 22000},
                       {"WeiL", 1050}});
    book.insertValues({{"Wagon", "51234568"}, {"Brut", 60000}, {"WeiL", 12340}});
    const QList<Row> before = rowsOf(book);
    view(TDBView::Book, [&](QDialog& d) {
        QTableView* g = grid(d);
        const std::pair<int, const char*> cells[] = {{0, "Time2"}, {0, "WeiL"}, {1, "WeiL"}, {0, "Time1"}};
        for (const auto& [row, field] : cells) {
            SCOPED_TRACE(field);
            QLineEdit* editor = openEditor(g, cell(g, row, field));
            ASSERT_NE(editor, nullptr);
            pressEnter(editor);
        }
        EXPECT_EQ(cell(g, 1, "WeiL").data().toString(), "12340 Н");
        // Changing only the seconds keeps the milliseconds the editor showed.
        QLineEdit* editor = openEditor(g, cell(g, 0, "Time2"));
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), "01.12.2026 10:00:05.123");
        editor->selectAll();
        typeKeys(editor, "01.12.2026 10:00:07.123");
        pressEnter(editor);
    });
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    QList<Row> after = rowsOf(book);
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].value("Time2").toDateTime(), QDateTime(QDate(2026, 12, 1), QTime(10, 0, 7, 123)));
    after[0].set("Time2", before[0].value("Time2"));
    EXPECT_TRUE(sameValues(before, after));

    // The wagons on the territory: a base, offsets and a load shown rounded to their steps.
    Table& wagons = f.records->Wagons();
    wagons.insertValues({{"Wagon", "51234567"},
                         {"Time", QDateTime(QDate(2026, 12, 1), QTime(8, 30, 1, 7))},
                         {"Weight", 61000},
                         {"BaseW", 8655},
                         {"WeiL", 1055},
                         {"DisS", 15}});
    const QList<Row> wagonsBefore = rowsOf(wagons);
    view(TDBView::Wagons, [&](QDialog& d) {
        QTableView* g = grid(d);
        for (const char* field : {"Time", "BaseW", "WeiL", "DisS"}) {
            SCOPED_TRACE(field);
            QLineEdit* editor = openEditor(g, cell(g, 0, field));
            ASSERT_NE(editor, nullptr);
            pressEnter(editor);
        }
    });
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    EXPECT_TRUE(sameValues(wagonsBefore, rowsOf(wagons)));
}

// The viewer's wagons on the territory show every field of the table and take edits, while
// the main window's list keeps its own few read-only columns.
TEST_F(ViewerTest, WagonsOnTheTerritoryShowEveryFieldEditable) {
    f.records->DSouW().setColumns({GridColumn{"Wagon", true, true, {}, {}}});
    f.records->Wagons().insertValues({{"Wagon", "51234567"}, {"Weight", 61000}});
    int visibleFields = 0;
    for (const FieldDef& field : f.records->Wagons().def().fields) visibleFields += field.hidden ? 0 : 1;
    view(TDBView::Wagons, [&](QDialog& d) {
        QTableView* g = grid(d);
        EXPECT_EQ(g->model()->columnCount(), visibleFields);
        typeIntoCell(g, cell(g, 0, "Doc"), "D-77");
        typeIntoCell(g, cell(g, 0, "Weight"), "60500");
    });
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('|').toStdString();
    ASSERT_TRUE(f.records->Wagons().findKey("51234567"));
    EXPECT_EQ(f.records->Wagons().value("Doc").toString(), "D-77");
    EXPECT_EQ(f.records->Wagons().toInt("Weight"), 60500);
    EXPECT_EQ(f.records->DSouW().columnCount(), 1);
}

// Every column is wide enough for its heading and for what its cells show.
TEST_F(ViewerTest, ColumnsAreWideEnoughForTheirText) {
    f.records->Book().insertValues({{"Wagon", "51234567"},
                                    {"Time1", QDateTime(QDate(2026, 12, 1), QTime(10, 0, 5))},
                                    {"Time2", QDateTime(QDate(2026, 12, 1), QTime(23, 59, 59))},
                                    {"Brut", 61000}});
    view(TDBView::Book, [&](QDialog& d) {
        QTableView* g = grid(d);
        const QFontMetrics metrics(g->font());
        const QFontMetrics headerMetrics(g->horizontalHeader()->font());
        for (int column = 0; column < g->model()->columnCount(); ++column) {
            const QString text = g->model()->index(0, column).data().toString();
            const QString heading = g->model()->headerData(column, Qt::Horizontal).toString();
            EXPECT_GE(g->columnWidth(column), metrics.horizontalAdvance(text) + 6) << text.toStdString();
            EXPECT_GE(g->columnWidth(column), headerMetrics.horizontalAdvance(heading) + 6)
                << heading.toStdString();
        }
    });
}

// A picture of the screen after a refused row, for a person to look at; not part of the
// suite. Under an X server (Xvfb) with ImageMagick's import:
//   ZOLVELT_SHOTS=/some/folder QT_QPA_PLATFORM=xcb db_view_tests --gtest_also_run_disabled_tests
//       --gtest_filter='*Shot*'
TEST_F(ViewerTest, DISABLED_ShotOfARefusedRow) {
    f.records->Loads().insertValues({{"N", 5}, {"Load", "Уголь"}});
    view(TDBView::Loads, [&](QDialog& d) {
        QTableView* g = grid(d);
        d.move(0, 0);
        press(&d, "Insert");
        typeIntoCell(g, cell(g, 1, "Load"), "Щебень");
        // The real error box this time, photographed while it is open, then closed.
        Messages::setResponder(nullptr);
        QTimer::singleShot(500, [] {
            const QString path = qEnvironmentVariable("ZOLVELT_SHOTS", ".") + "/viewer-refused-row.png";
            EXPECT_EQ(QProcess::execute("import", {"-window", "root", "-crop", "900x560+0+0", path}), 0);
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        clickCell(g, cell(g, 0, "Load"));
        Messages::setResponder(&messages);
        press(&d, "Cancel");
    });
}

}  // namespace
}  // namespace zv::test
