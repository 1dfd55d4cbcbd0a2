// The layout of the scale settings window: its three pages and their controls.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "admin/setup_w.h"
#include "admin/weighing_verdict_view.h"
#include "settings/calibration_codec.h"
#include "ui/tlie_edit.h"

namespace {

QLabel* banner(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet("QLabel { color: white; background: #c00000; font-weight: bold; padding: 3px; }");
    return label;
}

QComboBox* comboBox(const char* name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

// Names of the platform load labels in the order of the ten load quantities.
constexpr std::array<const char*, 10> kLoadLabelNames = {"Lw0", "Lw01", "Lw23", "Lw02", "Lw13",
                                                         "Lw1", "Lw45", "Lw67", "Lw46", "Lw57"};
// What each of them sums, for the operator.
constexpr std::array<const char*, 10> kLoadCaptions = {"Платформа 1", "1+2", "3+4", "1+3", "2+4",
                                                       "Платформа 2", "5+6", "7+8", "5+7", "6+8"};

}  // namespace

QLabel* TSetupW::makeLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

TLIEdit* TSetupW::makeParameterEdit(const ScaleParameterEdit& def, QWidget* parent) {
    auto* edit = new TLIEdit(QString::fromUtf8(def.caption), parent);
    edit->setObjectName(def.name);
    edit->setMinVal(def.min);
    edit->setMaxVal(def.max);
    edit->setFixedWidth(80);
    connect(edit, &TLIEdit::exited, this, &TSetupW::LIE21Exit);
    connect(edit, &QLineEdit::textChanged, this, &TSetupW::showVerdict);
    return edit;
}

QWidget* TSetupW::buildConnectionPage() {
    auto* page = new QWidget;
    page->setObjectName("TS1");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(banner(" Внимание! Изменение этих параметров может нарушить связь с весами", page));
    GroupBox1 = new QGroupBox("Параметры порта", page);
    GroupBox1->setObjectName("GroupBox1");
    auto* form = new QFormLayout(GroupBox1);
    CCBox1 = comboBox("CCBox1", {}, GroupBox1);
    CCBox2 = comboBox("CCBox2", {}, GroupBox1);
    CCBox3 = comboBox("CCBox3", {}, GroupBox1);
    form->addRow("Порт", CCBox1);
    form->addRow("Скорость", CCBox2);
    form->addRow("Паритет", CCBox3);
    layout->addWidget(GroupBox1);
    ChBox11 = new QCheckBox("Подключить", page);
    ChBox11->setObjectName("ChBox11");
    LaLink = makeLabel("LaLink", QString(), page);
    auto* connectRow = new QHBoxLayout;
    connectRow->addWidget(ChBox11);
    connectRow->addWidget(LaLink, 1);
    layout->addLayout(connectRow);
    layout->addStretch(1);
    connect(CCBox1, &QComboBox::activated, this, &TSetupW::CCBox1Change);
    connect(CCBox2, &QComboBox::activated, this, &TSetupW::CCBox2Change);
    connect(CCBox3, &QComboBox::activated, this, &TSetupW::CCBox3Change);
    connect(ChBox11, &QCheckBox::clicked, this, &TSetupW::ChBox11Click);
    return page;
}

QWidget* TSetupW::buildParametersPage() {
    using Group = ScaleParameterEdit::Group;
    auto* page = new QWidget;
    page->setObjectName("TS2");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(banner(" Внимание! Изменение этих параметров может нарушить работу весов", page));

    auto* columns = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    auto* divisions = new QGroupBox("Цена поверочного деления:", page);
    auto* divisionForm = new QFormLayout(divisions);
    auto* loadCells = new QGroupBox("Положение датчиков", page);
    auto* loadCellForm = new QGridLayout(loadCells);
    auto* filter = new QHBoxLayout;

    CBox21 = comboBox("CBox21", {"1", "2"}, page);
    CBox22 = comboBox("CBox22", {"1", "2", "4"}, page);
    connect(CBox21, &QComboBox::activated, this, &TSetupW::CBox21Change);
    connect(CBox22, &QComboBox::activated, this, &TSetupW::CBox22Change);
    CBox23 = comboBox("CBox23", {"по окнам тележек", "по нагрузкам осей"}, page);
    connect(CBox23, &QComboBox::activated, this, &TSetupW::CBox23Change);

    int loadCell = 0;
    for (std::size_t i = 0; i < kScaleParameterEdits.size(); ++i) {
        const ScaleParameterEdit& def = kScaleParameterEdits[i];
        if (def.group == Group::Calibration) continue;  // LIEkd sits on the calibration page
        TLIEdit* edit = makeParameterEdit(def, page);
        parameterEdits_[i] = edit;
        switch (def.group) {
            case Group::Limits:
                left->addRow(edit->label(), edit);
                break;
            case Group::Divisions:
                divisionForm->addRow(edit->label(), edit);
                break;
            case Group::Filter:
                // The second cut-off frequency stands beside the first, under its caption.
                if (def.key == &zv::Settings::Fflt_) {
                    filter->addWidget(edit);
                } else if (def.key == &zv::Settings::Fflt) {
                    filter->addWidget(edit);
                    right->addRow(edit->label(), filter);
                } else {
                    right->addRow(edit->label(), edit);
                }
                break;
            case Group::Platforms:
                right->addRow(edit->label(), edit);
                break;
            case Group::LoadCells:
                loadCellForm->addWidget(edit->label(), loadCell / 3, (loadCell % 3) * 2);
                loadCellForm->addWidget(edit, loadCell / 3, (loadCell % 3) * 2 + 1);
                ++loadCell;
                break;
            case Group::Calibration:
                break;
        }
    }
    left->addRow(divisions);
    right->insertRow(0, "Количество платформ весов", CBox21);
    right->insertRow(1, "К-во входов для каждой платформы", CBox22);
    right->insertRow(2, "Метод взвешивания", CBox23);
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    layout->addLayout(columns);
    layout->addWidget(loadCells);
    verdict_ = new WeighingVerdictView(page);
    layout->addWidget(verdict_);
    layout->addStretch(1);
    return page;
}

QWidget* TSetupW::buildCalibrationPage() {
    auto* page = new QWidget;
    page->setObjectName("TS3");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(banner(" Внимание! Изменение этих параметров может нарушить работу весов", page));
    CalibCount = makeLabel("CalibCount", "", page);
    layout->addWidget(CalibCount);
    CBox30 = comboBox("CBox30",
                      {"Выберите тип калибровки",
                       "Калибровка пар датчиков при известном соотношении в парах",
                       "Калибровка грузом, симметричным относительно продольной оси",
                       "Независимая калибровка каждого входа"},
                      page);
    connect(CBox30, &QComboBox::activated, this, &TSetupW::CBox30Change);
    layout->addWidget(CBox30);
    layout->addWidget(buildProcedurePanel(page));
    auto* lower = new QHBoxLayout;
    lower->addWidget(buildInputGrid(page));
    lower->addWidget(buildReadouts(page));
    layout->addLayout(lower);
    layout->addWidget(buildDebugAids(page));
    layout->addStretch(1);
    return page;
}

QWidget* TSetupW::buildProcedurePanel(QWidget* page) {
    Panel31 = new QWidget(page);
    Panel31->setObjectName("Panel31");
    auto* grid = new QGridLayout(Panel31);
    grid->setContentsMargins(0, 0, 0, 0);
    LaStep1 = makeLabel("LaStep1", "1. Выберите платформу", Panel31);
    CBox31 = comboBox("CBox31", {"1"}, Panel31);
    LIEw = new TLIEdit("и ведите массу эталонного груза, кг", Panel31);
    LIEw->setObjectName("LIEw");
    LIEw->setMinVal(2000);
    LIEw->setMaxVal(100000);
    LIEw->setFixedWidth(80);
    grid->addWidget(LaStep1, 0, 0);
    grid->addWidget(CBox31, 0, 1);
    grid->addWidget(LIEw->label(), 0, 2);
    grid->addWidget(LIEw, 0, 3);

    grid->addWidget(new QLabel("2. Освободите платформу от груза, ", Panel31), 1, 0);
    grid->addWidget(new QLabel("После стабилизации показаний нажмите:", Panel31), 1, 2);
    But31 = new QPushButton("Нуль платформы", Panel31);
    But31->setObjectName("But31");
    grid->addWidget(But31, 1, 3);

    LaStep3 = makeLabel("LaStep3", "3. Установите груз вблизи одного края платформы", Panel31);
    But32 = new QPushButton("Калибровка 1", Panel31);
    But32->setObjectName("But32");
    grid->addWidget(LaStep3, 2, 0, 1, 3);
    grid->addWidget(But32, 2, 3);

    LaStep4 = makeLabel("LaStep4", "4. Переместите груз к другому краю платформы", Panel31);
    But33 = new QPushButton("Калибровка 2", Panel31);
    But33->setObjectName("But33");
    grid->addWidget(LaStep4, 3, 0, 1, 3);
    grid->addWidget(But33, 3, 3);

    connect(But31, &QPushButton::clicked, this, &TSetupW::But31Click);
    connect(But32, &QPushButton::clicked, this, &TSetupW::But32Click);
    connect(But33, &QPushButton::clicked, this, &TSetupW::But33Click);
    return Panel31;
}

// One line of the input grid: number, zero code, coefficient, converter code; the heading
// line has the same columns so that they stand one under the other.
static QHBoxLayout* inputLine(QWidget* line, QWidget* number, QWidget* zero, QWidget* coef,
                              QWidget* code) {
    auto* cells = new QHBoxLayout(line);
    cells->setContentsMargins(0, 0, 0, 0);
    number->setFixedWidth(36);
    zero->setFixedWidth(80);
    coef->setFixedWidth(90);
    cells->addWidget(number);
    cells->addWidget(zero);
    cells->addWidget(coef);
    cells->addWidget(code, 1);
    return cells;
}

QWidget* TSetupW::buildInputGrid(QWidget* page) {
    auto* box = new QWidget(page);
    auto* lines = new QVBoxLayout(box);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(2);
    auto* heading = new QWidget(box);
    LaK = makeLabel("LaK", "Коэффиц.", heading);
    auto* code = new QWidget(heading);
    auto* codeCells = new QHBoxLayout(code);
    codeCells->setContentsMargins(0, 0, 0, 0);
    codeCells->addWidget(new QLabel("Код АЦП", code));
    CBox32 = comboBox("CBox32", {"не флт", "дин.ф", "стат.ф"}, code);
    CBox32->setCurrentIndex(2);
    codeCells->addWidget(CBox32);
    codeCells->addStretch(1);
    inputLine(heading, new QLabel("Вход", heading), new QLabel("Код нуля", heading), LaK, code);
    lines->addWidget(heading);
    for (int i = 0; i < 8; ++i) {
        auto* row = new QWidget(box);
        LIEa[i] = new TLIEdit(QString::number(i + 1), row);
        LIEa[i]->setObjectName(QString("LIEa%1").arg(i));
        LIEa[i]->setMinVal(zv::MinZeroCode);
        LIEa[i]->setMaxVal(zv::MaxZeroCode);
        LIEk[i] = new TLIEdit(row);
        LIEk[i]->setObjectName(QString("LIEk%1").arg(i));
        LIEk[i]->setMinVal(zv::MinCoefficient);
        LIEk[i]->setMaxVal(zv::MaxCoefficient);
        La[i] = makeLabel("", "0", row);
        La[i]->setObjectName(QString("La%1").arg(i));
        inputLine(row, LIEa[i]->label(), LIEa[i], LIEk[i], La[i]);
        connect(LIEa[i], &TLIEdit::exited, this, &TSetupW::LIE21Exit);
        connect(LIEk[i], &TLIEdit::exited, this, &TSetupW::LIE21Exit);
        rows_[i] = row;
        lines->addWidget(row);
    }
    auto* kdLine = new QHBoxLayout;
    auto* kd = makeParameterEdit(kScaleParameterEdits.back(), box);
    parameterEdits_.back() = kd;
    kdLine->addSpacing(36 + 80);
    kdLine->addWidget(kd->label());
    kdLine->addWidget(kd);
    kdLine->addStretch(1);
    lines->addLayout(kdLine);
    lines->addStretch(1);
    return box;
}

QWidget* TSetupW::buildReadouts(QWidget* page) {
    auto* box = new QGroupBox("Масса", page);
    auto* grid = new QGridLayout(box);
    auto* platform2 = new QWidget(box);
    auto* grid2 = new QGridLayout(platform2);
    grid2->setContentsMargins(0, 0, 0, 0);
    for (int q = 0; q < 10; ++q) {
        QGridLayout* target = q < 5 ? grid : grid2;
        const int row = q % 5;
        loadLabels_[q] = makeLabel(kLoadLabelNames[q], "0", box);
        target->addWidget(new QLabel(kLoadCaptions[q], box), row, 0);
        target->addWidget(loadLabels_[q], row, 1);
    }
    Lds0 = makeLabel("Lds0", "_", box);
    Lds1 = makeLabel("Lds1", "_", box);
    grid->addWidget(Lds0, 0, 2);
    grid2->addWidget(Lds1, 0, 2);
    grid->addWidget(platform2, 5, 0, 1, 3);
    platform2Loads_ = platform2;
    grid->addWidget(new QLabel("Общая масса", box), 6, 0);
    Lw = makeLabel("Lw", "0", box);
    Lw_ = makeLabel("Lw_", "0", box);
    grid->addWidget(Lw, 6, 1);
    grid->addWidget(Lw_, 6, 2);
    grid->addWidget(new QLabel("rx err.", box), 7, 0);
    Ler = makeLabel("Ler", "0", box);
    grid->addWidget(Ler, 7, 1);
    grid->addWidget(new QLabel("s.cal.", box), 8, 0);
    Lsc = makeLabel("Lsc", "0", box);
    grid->addWidget(Lsc, 8, 1);
    Ln1 = makeLabel("Ln1", "", box);
    grid->addWidget(Ln1, 9, 0, 1, 3);
    return box;
}

QWidget* TSetupW::buildDebugAids(QWidget* page) {
    auto* box = new QWidget(page);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    ChBox31 = new QCheckBox("Отладочная информация", box);
    ChBox31->setObjectName("ChBox31");
    layout->addWidget(ChBox31, 0, Qt::AlignTop);
    SG1 = new QTableWidget(8, 1, box);
    SG1->setObjectName("SG1");
    SG1->horizontalHeader()->hide();
    SG1->verticalHeader()->setDefaultSectionSize(18);
    SG1->setFixedSize(110, 8 * 18 + 4);
    for (int row = 0; row < 8; ++row) SG1->setItem(row, 0, new QTableWidgetItem);
    layout->addWidget(SG1);
    Button1 = new QPushButton("Подать", box);
    Button1->setObjectName("Button1");
    layout->addWidget(Button1, 0, Qt::AlignTop);
    layout->addStretch(1);
    SG1->hide();
    Button1->hide();
    connect(ChBox31, &QCheckBox::clicked, this, &TSetupW::ChBox31Click);
    connect(Button1, &QPushButton::clicked, this, &TSetupW::Button1Click);
    return box;
}
