#include "app/main_display.h"

#include <QFrame>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include "admin/setup_w.h"
#include "processing/w_pro.h"

namespace {

QString text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void setNumber(QLabel* label, int32_t value) {
    label->setText(QString::number(value));
}

}  // namespace

MainDisplay::MainDisplay(const MainControls& controls, std::function<void(bool)> trainPassing)
    : c_(controls), trainPassing_(std::move(trainPassing)) {}

void MainDisplay::dynamicWeighingChanged(bool enabled) {
    c_.La11->setVisible(!enabled);
}

void MainDisplay::trainPassingChanged(bool passing) {
    c_.P13->setVisible(passing);
    if (passing) c_.P13->raise();
    c_.Panel3->setEnabled(!passing);
    c_.PCon1->setEnabled(!passing);
    if (trainPassing_) trainPassing_(passing);
}

void MainDisplay::zeroButtonReleased() {
    c_.SBut01->setChecked(false);
}

void MainDisplay::conditioningReading(const zv::ConditioningDisplay& d) {
    if (c_.P6->isVisible()) {
        setNumber(c_.L1, d.L1);
        setNumber(c_.L2, d.L2);
        setNumber(c_.L3, d.L3);
        setNumber(c_.L4, d.L4);
    }
    c_.Laovl->setVisible(d.overload);
    c_.Lw->setText(QString::number(d.ShownWeight) + " кг");
    QPalette palette = c_.Lw->palette();
    palette.setColor(QPalette::WindowText, d.stable ? QColor(0, 255, 0) : QColor(255, 255, 0));
    c_.Lw->setPalette(palette);
    setNumber(c_.Lw0, d.Lw0);
    setNumber(c_.Lw1, d.Lw1);
    if (wPro_ && wPro_->isVisible()) wPro_->conditioningReading(d);
    if (setupW_ && setupW_->isVisible()) setupW_->showConditioning(d);
}

void MainDisplay::showNoLink() {
    const QString none = QStringLiteral("Нет связи");
    if (c_.Lw->text() != none) {
        c_.Lw->setText(none);
        QPalette palette = c_.Lw->palette();
        palette.setColor(QPalette::WindowText, QColor(255, 64, 64));
        c_.Lw->setPalette(palette);
    }
    c_.Lw0->setText(none);
    c_.Lw1->setText(none);
    if (wPro_ && wPro_->isVisible()) wPro_->showNoLink();
    if (setupW_ && setupW_->isVisible()) setupW_->showNoLink();
}

bool MainDisplay::calibrationReadoutsWanted() const {
    return setupW_ && setupW_->readoutsWanted();
}

void MainDisplay::calibrationReadouts(const zv::CalibrationReadouts& readouts) {
    if (setupW_) setupW_->showCalibrationReadouts(readouts);
}

bool MainDisplay::diagnosticsWanted() const {
    return c_.Panel5->isVisible();
}

QLabel* MainDisplay::diagnosticLabel(zv::DiagLabel label) const {
    switch (label) {
        case zv::DiagLabel::La1:
            return c_.La1;
        case zv::DiagLabel::La1_:
            return c_.La1_;
        case zv::DiagLabel::La2:
            return c_.La2;
        case zv::DiagLabel::La2_:
            return c_.La2_;
        case zv::DiagLabel::La3:
            return c_.La3;
        case zv::DiagLabel::La3_:
            return c_.La3_;
        case zv::DiagLabel::La3s:
            return c_.La3s;
        case zv::DiagLabel::La4:
            return c_.La4;
        case zv::DiagLabel::La4_:
            return c_.La4_;
        case zv::DiagLabel::La6:
            return c_.La6;
    }
    return c_.La6;
}

void MainDisplay::diagnosticText(zv::DiagLabel label, std::string_view s) {
    diagnosticLabel(label)->setText(text(s));
}

void MainDisplay::diagnosticAppend(zv::DiagLabel label, std::string_view s) {
    QLabel* target = diagnosticLabel(label);
    target->setText(target->text() + text(s));
}

void MainDisplay::diagnosticCell(int col, int row, std::string_view s) {
    if (col < 0 || row < 0 || col >= c_.SG1->columnCount() || row >= c_.SG1->rowCount()) return;
    QTableWidgetItem* cell = c_.SG1->item(row, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        c_.SG1->setItem(row, col, cell);
    }
    cell->setText(text(s));
}
