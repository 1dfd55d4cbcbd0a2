// The controls of the wagon processing window and their connections.
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "processing/field_edit.h"
#include "processing/lookup_box.h"
#include "processing/w_pro.h"
#include "records/records_database.h"
#include "ui/message_service.h"
#include "ui/tlie_edit.h"

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    return named(new QPushButton(text, parent), name);
}

TLIEdit* numberEdit(const char* name, int min, int max, int digits, QWidget* parent) {
    auto* edit = named(new TLIEdit(parent), name);
    edit->setMinVal(min);
    edit->setMaxVal(max);
    edit->setMaxLength(digits);
    return edit;
}

TLIEdit* shownNumber(const char* name, int min, int max, QWidget* parent) {
    TLIEdit* edit = numberEdit(name, min, max, 6, parent);
    edit->setReadOnly(true);
    edit->setVal(0);
    return edit;
}

}  // namespace

FieldEdit* TWPro::fieldEdit(const QString& field, bool readOnly) {
    auto* edit = new FieldEdit(wagons(), field, this);
    edit->setReadOnly(readOnly);
    connect(edit, &FieldEdit::refused, this,
            [this](const QString& message) { zv::Messages::error(message); });
    fields_.append(edit);
    return edit;
}

void TWPro::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* modePanel = named(new QWidget(this), "P1");
    auto* modeRow = new QHBoxLayout(modePanel);
    CBox1 = named(new QComboBox(modePanel), "CBox1");
    CBox1->addItems({QStringLiteral("Прием вагона, взвешенного в движении"),
                     QStringLiteral("Отпуск вагона, взвешенного в движении"),
                     QStringLiteral("Первое взвешивание, статика"),
                     QStringLiteral("Второе взвешивание, статика")});
    modeRow->addWidget(CBox1);
    modePanel->setEnabled(false);
    layout->addWidget(modePanel);
    LaPass = named(new QLabel(this), "LaPass");
    LaPass->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold; font-size: 12pt;"));
    LaPass->setAlignment(Qt::AlignCenter);
    LaPass->hide();
    layout->addWidget(LaPass);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildWagonGroup());
    left->addWidget(buildWeighingGroup());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildLoadGroup());
    right->addWidget(buildStationGroup());
    right->addStretch(1);
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    layout->addLayout(columns);

    auto* bottom = new QHBoxLayout;
    ButSim = button("ButSim", QStringLiteral("Симуляция"), this);
    ButSim->hide();
    bottom->addWidget(ButSim);
    bottom->addStretch(1);
    But1 = button("But1", QStringLiteral("Готово"), this);
    But2 = button("But2", QStringLiteral("Отмена"), this);
    But1->setDefault(false);
    But1->setAutoDefault(false);
    But2->setAutoDefault(false);
    bottom->addWidget(But1);
    bottom->addWidget(But2);
    layout->addLayout(bottom);
    connectControls();
}

void TWPro::showNotice(const QString& text) {
    if (LaPass->text() != text) LaPass->setText(text);
    LaPass->setVisible(!text.isEmpty());
}

QWidget* TWPro::buildWagonGroup() {
    auto* group = named(new QGroupBox(QStringLiteral("Сведения о вагоне"), this), "GB1");
    auto* form = new QFormLayout(group);
    DBE1 = fieldEdit(QStringLiteral("Wagon"));
    DBE1->setObjectName(QStringLiteral("DBE1"));
    DBE1->setDigitsOnly(QStringLiteral("N"));
    form->addRow(QStringLiteral("Номер вагона"), DBE1);
    DBE2 = fieldEdit(QStringLiteral("TareW"));
    DBE2->setObjectName(QStringLiteral("DBE2"));
    form->addRow(QStringLiteral("Тара (на\n вагоне), кг"), DBE2);

    baseControls_ = named(new QWidget(group), "PBase");
    auto* base = new QGridLayout(baseControls_);
    base->setContentsMargins(0, 0, 0, 0);
    CBox2 = named(new QComboBox(baseControls_), "CBox2");
    CBox2->addItems({QStringLiteral("Измеряется весами"), QStringLiteral("Вводится"),
                     QStringLiteral("По типу вагона"), QStringLiteral("Получено ранее")});
    LIEb = numberEdit("LIEb", 0, 20000, 5, baseControls_);
    LIEb->setVal(8650);
    base->addWidget(new QLabel(QStringLiteral("База вагона"), baseControls_), 0, 0);
    base->addWidget(LIEb, 0, 1);
    base->addWidget(CBox2, 0, 2);
    typeControls_ = named(new QWidget(baseControls_), "PType");
    auto* type = new QHBoxLayout(typeControls_);
    type->setContentsMargins(0, 0, 0, 0);
    LCBoxB = named(new LookupBox(host_->records().BasesW(), QStringLiteral("TypeW"),
                                 {QStringLiteral("TypeW"), QStringLiteral("Note")}, typeControls_),
                   "LCBoxB");
    LaB = named(new QLabel(QStringLiteral("Выберите из списка"), typeControls_), "LaB");
    But9 = button("But9", QStringLiteral("БД Базы ваг."), typeControls_);
    type->addWidget(LCBoxB);
    type->addWidget(LaB, 1);
    type->addWidget(But9);
    base->addWidget(typeControls_, 1, 0, 1, 3);
    form->addRow(baseControls_);
    return group;
}

QWidget* TWPro::buildWeighingGroup() {
    weighingGroup_ = named(new QGroupBox(QStringLiteral("Взвешивание"), this), "GB2");
    auto* grid = new QGridLayout(weighingGroup_);
    La1 = named(new QLabel(weighingGroup_), "La1");
    DBE10 = fieldEdit(QStringLiteral("Weight"), true);
    DBE10->setObjectName(QStringLiteral("DBE10"));
    La2 = named(new QLabel(weighingGroup_), "La2");
    DBE11 = fieldEdit(QStringLiteral("Wei2"), true);
    DBE11->setObjectName(QStringLiteral("DBE11"));
    LaNett = new QLabel(QStringLiteral("Нетто"), weighingGroup_);
    DBE12 = fieldEdit(QStringLiteral("Nett"), true);
    DBE12->setObjectName(QStringLiteral("DBE12"));
    grid->addWidget(La1, 0, 0);
    grid->addWidget(DBE10, 0, 1);
    grid->addWidget(La2, 1, 0);
    grid->addWidget(DBE11, 1, 1);
    grid->addWidget(LaNett, 2, 0);
    grid->addWidget(DBE12, 2, 1);

    staticControls_ = named(new QWidget(weighingGroup_), "PStatic");
    auto* live = new QGridLayout(staticControls_);
    live->setContentsMargins(0, 0, 0, 0);
    Lw = named(new QLabel(QStringLiteral("0"), staticControls_), "Lw");
    Lw->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Lw->setMinimumWidth(120);
    QFont big = Lw->font();
    big.setPointSize(18);
    big.setBold(true);
    Lw->setFont(big);
    Lw->setStyleSheet(QStringLiteral("background-color: black; color: yellow; padding: 2px;"));
    But8 = button("But8", QStringLiteral("Взвесить"), staticControls_);
    LaT = named(new QLabel(QStringLiteral("Первая тележка"), staticControls_), "LaT");
    LIEt = shownNumber("LIEt", 0, 999999, staticControls_);
    live->addWidget(Lw, 0, 0);
    live->addWidget(new QLabel(QStringLiteral("кг"), staticControls_), 0, 1);
    live->addWidget(But8, 0, 2);
    live->addWidget(LaT, 1, 0);
    live->addWidget(LIEt, 1, 2);
    grid->addWidget(staticControls_, 3, 0, 1, 2);

    gravityPanels_ = named(new QStackedWidget(weighingGroup_), "P4s");
    P4a =
        named(new QGroupBox(QStringLiteral("Смещение центра тяж. вагона"), gravityPanels_), "P4a");
    auto* wagonForm = new QFormLayout(P4a);
    wagonForm->addRow(QStringLiteral("кг"), fieldEdit(QStringLiteral("WeiL"), true));
    wagonForm->addRow(QStringLiteral("мм"), fieldEdit(QStringLiteral("DisL"), true));
    wagonForm->addRow(QStringLiteral("мм"), fieldEdit(QStringLiteral("DisS"), true));
    P4 = named(new QGroupBox(QStringLiteral("Смещение центра тяж. груза"), gravityPanels_), "P4");
    auto* loadForm = new QFormLayout(P4);
    LIEwl = shownNumber("LIEwl", -90000, 90000, P4);
    LIEdl = shownNumber("LIEdl", -10000, 10000, P4);
    LIEds = shownNumber("LIEds", -10000, 10000, P4);
    loadForm->addRow(QStringLiteral("кг"), LIEwl);
    loadForm->addRow(QStringLiteral("мм"), LIEdl);
    loadForm->addRow(QStringLiteral("мм"), LIEds);
    gravityPanels_->addWidget(P4a);
    gravityPanels_->addWidget(P4);
    grid->addWidget(gravityPanels_, 4, 0, 1, 2);
    return weighingGroup_;
}

QWidget* TWPro::buildLoadGroup() {
    zv::RecordsDatabase& records = host_->records();
    auto* group = named(new QGroupBox(QStringLiteral("Сведения о грузе"), this), "GB3");
    auto* grid = new QGridLayout(group);
    LCBoxL =
        named(new LookupBox(records.Loads(), QStringLiteral("N"), {QStringLiteral("Load")}, group),
              "LCBoxL");
    LCBoxL1 =
        named(new LookupBox(records.Loads(), QStringLiteral("N"), {QStringLiteral("Load")}, group),
              "LCBoxL1");
    DBE4 = fieldEdit(QStringLiteral("Train"), true);
    DBE4->setObjectName(QStringLiteral("DBE4"));
    LIEtr2 = numberEdit("LIEtr2", 1, 65535, 5, group);
    LaL1 = new QLabel(QStringLiteral("Второе взвешивание"), group);
    LaTr2 = new QLabel(QStringLiteral("Состав"), group);
    But3 = button("But3", QStringLiteral("БД Грузы"), group);
    But6 = button("But6", QStringLiteral("Без груза"), group);
    But7 = button("But7", QStringLiteral("Новый состав"), group);
    grid->addWidget(new QLabel(QStringLiteral("Груз"), group), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Первое взвешивание"), group), 0, 1);
    grid->addWidget(LCBoxL, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Состав"), group), 1, 2);
    grid->addWidget(DBE4, 1, 3);
    grid->addWidget(LaL1, 2, 1);
    grid->addWidget(LCBoxL1, 3, 0, 1, 2);
    grid->addWidget(LaTr2, 3, 2);
    grid->addWidget(LIEtr2, 3, 3);
    grid->addWidget(But3, 4, 0);
    grid->addWidget(But6, 4, 1);
    grid->addWidget(But7, 4, 2, 1, 2);
    return group;
}

QWidget* TWPro::buildStationGroup() {
    zv::RecordsDatabase& records = host_->records();
    stationGroup_ = named(new QGroupBox(this), "GB4");
    auto* form = new QFormLayout(stationGroup_);
    LCBoxS = named(new LookupBox(records.Stations(), QStringLiteral("N"),
                                 {QStringLiteral("Station")}, stationGroup_),
                   "LCBoxS");
    LCBoxC = named(new LookupBox(records.Clients(), QStringLiteral("N"), {QStringLiteral("Client")},
                                 stationGroup_),
                   "LCBoxC");
    But4 = button("But4", QStringLiteral("БД Станции"), stationGroup_);
    But5 = button("But5", QStringLiteral("БД Клиенты"), stationGroup_);
    auto* station = new QHBoxLayout;
    station->addWidget(LCBoxS, 1);
    station->addWidget(But4);
    auto* client = new QHBoxLayout;
    client->addWidget(LCBoxC, 1);
    client->addWidget(But5);
    form->addRow(QStringLiteral("Станция"), station);
    form->addRow(QStringLiteral("Получатель (вывоз)\nОтправитель (ввоз)"), client);
    E3 = named(new QLineEdit(stationGroup_), "E3");
    E3->setMaxLength(8);
    form->addRow(QStringLiteral("Номер документа"), E3);
    DBE3 = fieldEdit(QStringLiteral("NLoad"));
    DBE3->setObjectName(QStringLiteral("DBE3"));
    form->addRow(QStringLiteral("Мест"), DBE3);

    auto* documents = named(new QGroupBox(QStringLiteral("По документам"), stationGroup_), "GB5");
    auto* docs = new QFormLayout(documents);
    docs->addRow(QStringLiteral("Брутто"), fieldEdit(QStringLiteral("BrutD")));
    docs->addRow(QStringLiteral("Тара"), fieldEdit(QStringLiteral("TareD")));
    docs->addRow(QStringLiteral("Нетто"), fieldEdit(QStringLiteral("NettD")));
    docs->addRow(QStringLiteral("Мест"), fieldEdit(QStringLiteral("NLoadD")));
    form->addRow(documents);
    DBE8 = fieldEdit(QStringLiteral("Note"));
    DBE8->setObjectName(QStringLiteral("DBE8"));
    form->addRow(QStringLiteral("Примечание"), DBE8);
    return stationGroup_;
}

void TWPro::connectControls() {
    auto on = [this](QPushButton* b, void (TWPro::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(But1, &TWPro::But1Click);
    connect(But2, &QPushButton::clicked, this, &QDialog::reject);
    on(But6, &TWPro::But6Click);
    on(But7, &TWPro::But7Click);
    on(But8, &TWPro::But8Click);
    connect(But3, &QPushButton::clicked, this, [this] { openDictionary(3); });
    connect(But4, &QPushButton::clicked, this, [this] { openDictionary(4); });
    connect(But5, &QPushButton::clicked, this, [this] { openDictionary(5); });
    connect(But9, &QPushButton::clicked, this, [this] { openDictionary(6); });
    connect(ButSim, &QPushButton::clicked, this,
            [this] { guarded([this] { host_->simulationStep(); }); });
    connect(CBox2, &QComboBox::activated, this, [this] { guarded([this] { CBox2Change(); }); });
    connect(LCBoxB, &QComboBox::activated, this, [this] { guarded([this] { LCBoxBClick(); }); });
    connect(LCBoxL, &QComboBox::activated, this, [this] {
        guarded([this] {
            setWagonValue(QStringLiteral("Load"), LCBoxL->key());
            entryLoadRule();
        });
    });
    connect(LCBoxL1, &QComboBox::activated, this, [this] { guarded([this] { exitLoadRule(); }); });
    connect(DBE1, &FieldEdit::left, this, [this] { guarded([this] { DBE1Exit(); }); });
}
