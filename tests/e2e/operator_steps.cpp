#include "e2e/operator_steps.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "admin/setup_w.h"
#include "app/app_fixture.h"
#include "app/main_window.h"
#include "processing/w_pro.h"
#include "processing/w_pro_actions.h"
#include "reports/preview_window.h"
#include "ui/modal.h"

namespace zv::test {

namespace {

void selectRow(TMain& main, int row) {
    QTableView* grid = main.controls().DBG1;
    grid->setCurrentIndex(grid->model()->index(row, trainListColumn(main, "Wagon")));
}

// Presses `button` of the main window; the processing window opens in `mode` and `step`
// acts in it.
void processWagon(TMain& main, int row, QPushButton* button, ProcessingMode mode,
                  const std::function<void(QDialog&)>& step) {
    selectRow(main, row);
    ModalScript script;
    script.then([&](QDialog& d) {
        EXPECT_EQ(static_cast<TWPro&>(d).mode(), mode);
        step(d);
    });
    button->click();
    EXPECT_EQ(script.shown(), QStringList{"WPro"});
}

}  // namespace

void changeShift(TMain& main, int n, const QString& code) {
    ModalScript script;
    script.then([&](QDialog& d) { chooseOperator(d, n, code); });
    main.menu().Shift->trigger();
    EXPECT_EQ(main.currentOperator(), n);
}

void acceptWagon(TMain& main, int row, int load) {
    processWagon(main, row, main.controls().But1, ProcessingMode::DynamicAcceptance,
                 [load](QDialog& d) {
                     describeLoad(d, "LCBoxL", load);
                     click(d, "But1");
                 });
}

void releaseWagon(TMain& main, int row) {
    processWagon(main, row, main.controls().But2, ProcessingMode::DynamicRelease, [](QDialog& d) {
        click(d, "But6");
        EXPECT_EQ(find<LookupBox>(d, "LCBoxL1")->keyValue(), 0);
        click(d, "But1");
    });
}

void saveBookReport(TMain& main, const QString& pdfPath, const QString& textPath) {
    ModalScript script;
    script.then([](QDialog& window) { click(window, "But3"); });
    script.then([&](QDialog& window) {
        auto& preview = static_cast<TPreview&>(window);
        for (const QString& path : {pdfPath, textPath}) {
            preview.setPathChooser([path](QWidget*, const QString&, ExportFormat& format) {
                format = path.endsWith(".txt") ? ExportFormat::Text : ExportFormat::Pdf;
                return path;
            });
            click(preview, "Save");
        }
    });
    main.menu().BookReport->trigger();
    EXPECT_EQ(script.shown(), (QStringList{"BPrn", "TPreview"}));
}

QString shownFrameErrors(TMain& main) {
    QString shown;
    ModalScript script;
    script.then([&](QDialog& window) {
        main.Timer1Timer();
        shown = window.findChild<QLabel*>("Ler")->text();
    });
    main.menu().Scales[TSetupW::Calibration]->trigger();
    return shown;
}

}  // namespace zv::test
