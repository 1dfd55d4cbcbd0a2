#include "reports/preview_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QToolButton>
#include <QStandardPaths>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include "reports/operator_input.h"
#include "reports/page_view.h"
#include "reports/plain_text_export.h"
#include "reports/report_engine.h"
#include "reports/report_fixtures.h"
#include "reports/report_layouts.h"
#include "reports/save_folder.h"
#include "reports/trains_report_layout.h"
#include "support/temp_dir.h"
#include "ui/modal.h"
#include "ui/scripted_messages.h"

namespace zv {
namespace {

ReportDocument trainsDocument() {
    ReportLayouts layouts;
    auto trains = test::makeTrains();
    for (int t = 1; t <= 12; ++t)
        for (int w = 0; w < 15; ++w) trains->addRow(test::trainsRow(t, 1, 60000, w));
    return renderReport(trainsReportOver(layouts.trainsReport(), *trains), trains.get());
}

// The page that holds the text `text`, from 0.
int pageOf(const ReportDocument& doc, const QString& text) {
    for (int p = 0; p < doc.pageCount(); ++p)
        for (const DrawItem& item : doc.pages[p].items)
            if (item.text == text) return p;
    return -1;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray fileStart(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(5) : QByteArray();
}

class Preview : public ::testing::Test {
  protected:
    void SetUp() override {
        preview.setDocument(trainsDocument());
        preview.show();
    }
    void click(const char* name) { preview.findChild<QPushButton*>(name)->click(); }

    TPreview preview;
    test::TempDir dir;
};

TEST_F(Preview, MovesBetweenPages) {
    const int pages = preview.document().pageCount();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(preview.currentPage(), 0);
    click("PriorPage");
    EXPECT_EQ(preview.currentPage(), 0);
    click("NextPage");
    EXPECT_EQ(preview.currentPage(), 1);
    click("LastPage");
    EXPECT_EQ(preview.currentPage(), pages - 1);
    click("NextPage");
    EXPECT_EQ(preview.currentPage(), pages - 1);
    click("FirstPage");
    EXPECT_EQ(preview.currentPage(), 0);
    auto* pageNo = preview.findChild<QSpinBox*>("PageNo");
    pageNo->setValue(3);
    EXPECT_EQ(preview.currentPage(), 2);
    click("NextPage");
    EXPECT_EQ(pageNo->value(), 4);
    EXPECT_EQ(preview.findChild<QLabel*>("PageCount")->text(), QStringLiteral("из %1").arg(pages));
}

TEST_F(Preview, ZoomsToWidthFirstThenToPageAndActualSize) {
    auto* view = preview.findChild<PageView*>("PageView");
    EXPECT_EQ(preview.zoom(), TPreview::Zoom::Width);
    const int widthZoomed = view->width();
    click("ZoomFit");
    EXPECT_LT(view->width(), widthZoomed);  // a portrait page is higher than it is wide
    EXPECT_LE(view->height(), preview.findChild<QWidget*>("PageArea")->height());
    click("Zoom100");
    EXPECT_DOUBLE_EQ(preview.pixelsPerMm(), preview.logicalDpiX() / 25.4);
    click("ZoomWidth");
    EXPECT_EQ(view->width(), widthZoomed);
}

TEST_F(Preview, SearchMovesToTheFoundTextAndHighlightsIt) {
    const int page = pageOf(preview.document(), QStringLiteral("11-7"));
    ASSERT_GT(page, 0);
    preview.findChild<QLineEdit*>("SearchText")->setText(QStringLiteral("11-7"));
    click("FindNext");
    EXPECT_EQ(preview.currentPage(), page);
    ASSERT_FALSE(preview.highlight().isNull());

    // A new text is looked for from the current page on; the next find goes on from there.
    preview.goToPage(1);
    EXPECT_TRUE(preview.findNext(QStringLiteral("продолжение")));
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_TRUE(preview.findNext(QStringLiteral("Продолжение")));
    EXPECT_EQ(preview.currentPage(), 2);
    preview.lastPage();  // the last page has no continuation line: back to the first
    EXPECT_TRUE(preview.findNext(QStringLiteral("Стр. 2")));
    EXPECT_EQ(preview.currentPage(), 1);

    EXPECT_FALSE(preview.findNext(QStringLiteral("нет такого текста")));
    EXPECT_EQ(preview.findChild<QLabel*>("SearchStatus")->text(),
              QStringLiteral("Текст не найден"));
}

TEST_F(Preview, SavesAsPdfOrTextWithoutADialog) {
    const QString base = QString::fromStdString((dir / "report").string());
    QStringList asked;
    QString answer = base;
    preview.setPathChooser([&](QWidget*, const QString& suggested, ExportFormat& format) {
        asked << suggested;
        if (answer.endsWith(".txt")) format = ExportFormat::Text;
        return answer;
    });
    click("Save");
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(QFileInfo(asked[0]).fileName(),
              QStringLiteral("Составы, взвешенные в движении 05.03.2026.pdf"));
    EXPECT_EQ(fileStart(base + ".pdf"), QByteArray("%PDF-"));

    answer = base + ".txt";  // the type the file dialog chose
    click("Save");
    EXPECT_EQ(preview.saveFormat(), ExportFormat::Text);
    QFile text(answer);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()), toPlainText(preview.document()));

    answer.clear();  // cancelled
    click("Save");
    EXPECT_EQ(asked.size(), 3);
    EXPECT_EQ(QFileInfo(asked[2]).absolutePath(), QFileInfo(base).absolutePath());

    ScriptedMessages messages;
    answer = base + "/no/such.txt";
    click("Save");
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Не удалось записать файл %1").arg(answer)});
}

// Saving as the operator does it: the type in the box beside "Сохранить" or in the file
// dialog, a name typed without a suffix. The type decides what is written and the suffix.
TEST_F(Preview, TheChosenTypeDecidesTheFormatAndTheSuffix) {
    const QString folder = QString::fromStdString(dir.path().string());
    struct Case {
        const char* type;        // in the preview
        const char* dialogType;  // picked in the file dialog, if any
        const char* typed;
        const char* written;
        QByteArray start;
    };
    const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray text = toPlainText(preview.document()).toUtf8().left(8);
    const Case cases[] = {
        {"Текст", nullptr, "text-report", "text-report.txt", text},
        {"PDF", "Текст (*.txt)", "book", "book.txt", text},
        {"CSV", nullptr, "sheet", "sheet.csv", bom},
        {"Текст", "PDF (*.pdf)", "paper", "paper.pdf", "%PDF-"},
        {"Текст", nullptr, "notes.v2", "notes.v2.txt", text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        test::pick(preview.findChild<QComboBox*>("SaveType"), QString::fromUtf8(c.type));
        ModalScript script;
        script.then([&](QDialog& d) {
            test::answerFileDialog(d, folder, QString::fromUtf8(c.typed),
                                   c.dialogType ? QString::fromUtf8(c.dialogType) : QString());
        });
        test::clickOn(preview.findChild<QPushButton*>("Save"));
        EXPECT_EQ(script.shown(), QStringList{"SaveDialog"});
        const QString written = QDir(folder).filePath(QString::fromUtf8(c.written));
        EXPECT_TRUE(readAll(written).startsWith(c.start)) << written.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::Files).filter(QString::fromUtf8(c.typed)).size(), 1);
    }
}

// The operator clicks "Сохранить": the dialog proposes the user's documents (or home) and a
// name with the period; after a file was written there, the folder it went to.
TEST_F(Preview, TheSaveDialogProposesAWritableFolderThenTheLastOneUsed) {
    const QString folder = QString::fromStdString(dir.path().string());
    const auto proposed = [&](const QString& typed) {
        QString shownFolder;
        QString shownName;
        ModalScript script;
        script.then([&](QDialog& d) {
            auto* files = qobject_cast<QFileDialog*>(&d);
            ASSERT_NE(files, nullptr);
            shownFolder = files->directory().absolutePath();
            shownName = d.findChild<QLineEdit*>("fileNameEdit")->text();
            test::answerFileDialog(d, folder, typed);
        });
        test::clickOn(preview.findChild<QPushButton*>("Save"));
        return std::pair{shownFolder, shownName};
    };
    test::pick(preview.findChild<QComboBox*>("SaveType"), QStringLiteral("PDF"));
    const auto [first, name] = proposed(QStringLiteral("trains"));
    EXPECT_EQ(name, QStringLiteral("Составы, взвешенные в движении 05.03.2026.pdf"));
    EXPECT_NE(QFileInfo(first).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(first).isWritable()) << first.toStdString();
    EXPECT_EQ(first, proposedSaveFolder({{}, QStandardPaths::writableLocation(
                                                 QStandardPaths::DocumentsLocation),
                                         QDir::homePath(), {}}));
    EXPECT_EQ(fileStart(QDir(folder).filePath("trains.pdf")), QByteArray("%PDF-"));

    EXPECT_EQ(proposed(QStringLiteral("again")).first, QFileInfo(folder).absoluteFilePath());
}

// The program runs with the records group: its save dialog must not be a file manager with
// that group's rights (no new folder, no rename or delete, no drop).
TEST_F(Preview, TheSaveDialogChangesNoFileItself) {
    bool newFolder = true;
    bool modelWritable = true;
    ModalScript script;
    script.then([&](QDialog& d) {
        newFolder = d.findChild<QToolButton*>("newFolderButton")->isEnabled();
        modelWritable = !d.findChild<QFileSystemModel*>()->isReadOnly();
        d.reject();
    });
    test::clickOn(preview.findChild<QPushButton*>("Save"));
    EXPECT_EQ(script.shown(), QStringList{"SaveDialog"});
    EXPECT_FALSE(newFolder);
    EXPECT_FALSE(modelWritable);
}

// Which folder is proposed, from what is there. The program folder is never proposed.
TEST(SaveFolder, PassesOverFoldersThatAreGoneOrThePrograms) {
    test::TempDir dir;
    const auto at = [&](const char* name) { return QString::fromStdString((dir / name).string()); };
    for (const char* name : {"last", "documents", "home", "program"})
        QDir().mkpath(at(name));
    QFile file(at("a-file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    struct Case {
        const char* remembered;
        const char* documents;
        const char* home;
        const char* expected;  // nullptr: the temporary folder
    };
    const Case cases[] = {
        {"last", "documents", "home", "last"},
        {"", "documents", "home", "documents"},
        {"gone", "documents", "home", "documents"},
        {"a-file", "documents", "home", "documents"},
        {"program", "documents", "home", "documents"},
        {"program", "gone", "home", "home"},
        {"program", "program", "program", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remembered);
        const auto place = [&](const char* name) { return *name ? at(name) : QString(); };
        const SavePlaces places{place(c.remembered), place(c.documents), place(c.home),
                                at("program")};
        EXPECT_EQ(proposedSaveFolder(places), c.expected ? at(c.expected) : QDir::tempPath());
    }
    EXPECT_EQ(fileNameOf(QStringLiteral("Отчет 05.03.2026: a/b")),
              QStringLiteral("Отчет 05.03.2026- a-b"));
}

TEST_F(Preview, PrintsEveryPageOrTheChosenRange) {
    const auto printedPages = [&](int from, int to) {
        const QString path = QString::fromStdString((dir / "printed.pdf").string());
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setFromTo(from, to);
        preview.printTo(printer);
        EXPECT_EQ(fileStart(path), QByteArray("%PDF-"));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        text.waitForFinished(20000);
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    const QString all = printedPages(0, 0);
    EXPECT_EQ(all.count(QLatin1Char('\f')), preview.document().pageCount());
    const QString some = printedPages(2, 3);
    EXPECT_EQ(some.count(QLatin1Char('\f')), 2);
    EXPECT_TRUE(some.contains(QStringLiteral("Стр. 2")));
    EXPECT_FALSE(some.contains(QStringLiteral("Стр. 4")));
}

TEST(PreviewModal, ReturnsWhenClosed) {
    TPreview preview;
    bool wasVisible = false;
    QTimer::singleShot(0, &preview, [&] {
        wasVisible = preview.isVisible();
        preview.findChild<QPushButton*>("Close")->click();
    });
    preview.preview(ReportDocument{});
    EXPECT_TRUE(wasVisible);
    EXPECT_FALSE(preview.isVisible());
}

}  // namespace
}  // namespace zv
