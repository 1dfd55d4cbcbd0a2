#include "app/about.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* addLine(QVBoxLayout* layout, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter);
    layout->addWidget(label);
    return label;
}

}  // namespace

TAbout::TAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("About");
    setWindowTitle("ZOL - О программе");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);

    QLabel* product = addLine(layout, "ZOLVELT", this);
    product->setObjectName("ProductName");
    QFont big = product->font();
    big.setPointSize(28);
    big.setItalic(true);
    big.setBold(true);
    product->setFont(big);

    addLine(layout, "ВЕЛТ", this)->setObjectName("Maker");
    // No address of our own is printed here; the help pages say whom to ask.
    addLine(layout, "Сведения о поставщике и обслуживании весов - в справке программы (F1)", this)
        ->setObjectName("Contact");
    layout->addSpacing(12);
    addLine(layout, "Весы динамические железнодорожные:", this);
    addLine(layout, "- взвешивание составов в движении ", this);
    layout->addSpacing(12);
    ident_ = addLine(layout, QString(), this);
    ident_->setObjectName("Ident");
    eventCount_ = addLine(layout, QString(), this);
    eventCount_->setObjectName("EventCount");
    calibration_ = addLine(layout, QString(), this);
    calibration_->setObjectName("CalibCount");
    accessCode_ = addLine(layout, QString(), this);
    accessCode_->setObjectName("AccessCode");
    layout->addSpacing(12);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAbout::setRecordsInfo(const QString& identification, qint64 events, const QString& calibration) {
    ident_->setText(identification);
    eventCount_->setText(QStringLiteral("Событий в журнале: %1").arg(events));
    calibration_->setText(calibration);
}

void TAbout::setAccessCodeState(const QString& caption) { accessCode_->setText(caption); }
