#include "admin/shift_s.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "records/table.h"
#include "ui/guarded.h"

TShiftS::TShiftS(QWidget* parent) : QDialog(parent) {
    setObjectName("ShiftS");
    setWindowTitle("ZOL - Смена оператора весов");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Оператор весов:", this));
    LCBox1 = new QComboBox(this);
    LCBox1->setObjectName("LCBox1");
    LCBox1->setMinimumWidth(280);
    layout->addWidget(LCBox1);

    P1 = new QFrame(this);
    P1->setObjectName("P1");
    auto* code = new QVBoxLayout(P1);
    code->setContentsMargins(0, 0, 0, 0);
    code->addWidget(new QLabel("Введите код доступа", P1));
    E1 = new QLineEdit(P1);
    E1->setObjectName("E1");
    E1->setEchoMode(QLineEdit::Password);
    code->addWidget(E1);
    P1->hide();
    layout->addWidget(P1);

    auto* bar = new QHBoxLayout;
    bar->addStretch(1);
    Button1 = new QPushButton("Применить", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Отмена", this);
    Button2->setObjectName("Button2");
    bar->addWidget(Button1);
    bar->addWidget(Button2);
    layout->addLayout(bar);

    connect(LCBox1, &QComboBox::activated, this,
            [this] { zv::guarded([this] { LCBox1CloseUp(); }); });
    // Enter in the code edit presses the default button "Применить"; handling returnPressed
    // as well would check the code twice.
    connect(Button1, &QPushButton::clicked, this,
            [this] { zv::guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TShiftS::showEvent(QShowEvent* event) {
    zv::guarded([this] { FormShow(); });
    QDialog::showEvent(event);
}

void TShiftS::FormShow() {
    Button2->setVisible(currentOperator_ >= 0);
    P1->hide();
    ensureFallbackOperator();
    fillList();
    // The choice kept from an earlier showing is asked for its code like a new one.
    E1->clear();
    P1->setVisible(codeRequired());
    if (P1->isVisible()) E1->setFocus();
}

// With no operator at all the window could never be closed; operator 0 lets the first
// start complete so that the real operators can be added in the table viewer.
void TShiftS::ensureFallbackOperator() {
    if (!names_ || !names_->isOpen() || !names_->isEmpty()) return;
    names_->insertValues({{"N", 0}, {"Name", QStringLiteral("Оператор")}});
    names_->flush();
}

void TShiftS::fillList() {
    const int previous = chosenOperator();
    LCBox1->clear();
    if (!names_) return;
    for (const zv::Row& row : names_->readFilteredRows())
        LCBox1->addItem(row.value("Name").toString(), row.value("N"));
    // The window starts on an operator, so that Enter signs in: the one chosen before, else the
    // current one, else the first.
    int index = LCBox1->findData(previous);
    if (index < 0) index = LCBox1->findData(currentOperator_);
    LCBox1->setCurrentIndex(index < 0 ? 0 : index);
}

int TShiftS::chosenOperator() const {
    const QVariant data = LCBox1->currentData();
    return data.isValid() ? data.toInt() : -1;
}

void TShiftS::chooseOperator(int number) {
    LCBox1->setCurrentIndex(LCBox1->findData(number));
    LCBox1CloseUp();
}

// The operators' table keeps its row until the window closes: the main window shows the
// operator of that row, and that is the current operator until the change is confirmed.
QVariant TShiftS::chosenCode() const {
    const int chosen = chosenOperator();
    return names_ && chosen >= 0 ? names_->lookup("N", chosen, "Pass") : QVariant();
}

bool TShiftS::codeRequired() const {
    return !chosenCode().isNull() && chosenOperator() != currentOperator_;
}

void TShiftS::LCBox1CloseUp() {
    E1->clear();
    P1->setVisible(!chosenCode().isNull());
    if (P1->isVisible()) E1->setFocus();
}

// Whatever the panel shows, an operator with a code becomes current only with that code.
void TShiftS::Button1Click() {
    const QVariant code = chosenCode();
    if ((P1->isVisible() || codeRequired()) && !code.isNull() && E1->text() != code.toString()) {
        P1->show();
        tell("Неверный пароль");
        E1->setFocus();
        return;
    }
    accept();
}

void TShiftS::done(int result) {
    bool found = false;
    if (!zv::guarded(
            [&] { found = names_ && chosenOperator() >= 0 && names_->findKey(chosenOperator()); }))
        return;
    if (!found) {
        tell("Необходимо указать оператора");
        return;
    }
    QDialog::done(result);
}

void TShiftS::tell(const QString& text) {
    if (messenger_) messenger_(text);
}
