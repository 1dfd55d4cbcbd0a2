#include "app/main_layout.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "app/zero_indicator.h"
#include "ui/data_grid.h"

namespace {

constexpr int kTopBandHeight = 113;

// Keeps a child laid over its parent in place whenever the parent changes size.
class OverlayKeeper : public QObject {
  public:
    using Place = std::function<void(QWidget* overlay, const QSize& parentSize)>;
    OverlayKeeper(QWidget* overlay, Place place)
        : QObject(overlay), overlay_(overlay), place_(std::move(place)) {
        overlay->parentWidget()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            place_(overlay_, static_cast<QWidget*>(watched)->size());
        return false;
    }

  private:
    QWidget* overlay_;
    Place place_;
};

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QFrame* panel(const char* name, QWidget* parent) {
    auto* frame = named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

QLabel* label(const char* name, const QString& text, QWidget* parent) {
    return named(new QLabel(text, parent), name);
}

QToolButton* latch(const char* name, const QString& text, QWidget* parent) {
    auto* button = named(new QToolButton(parent), name);
    button->setText(text);
    button->setCheckable(true);
    return button;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    return named(new QPushButton(text, parent), name);
}

void setHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

void setFontSize(QWidget* widget, int points, bool bold) {
    QFont font = widget->font();
    font.setPointSize(points);
    font.setBold(bold);
    widget->setFont(font);
}

QFrame* buildWeightDisplay(MainControls& c, QWidget* parent) {
    c.Panel2 = panel("Panel2", parent);
    setBackground(c.Panel2, QColor(0, 128, 128));
    c.Panel2->setMinimumWidth(330);
    auto* grid = new QGridLayout(c.Panel2);
    grid->setContentsMargins(8, 2, 8, 2);
    c.Lw = label("Lw", "000000 кг", c.Panel2);
    setFontSize(c.Lw, 40, true);
    setTextColour(c.Lw, QColor(255, 255, 0));
    c.Lw->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.Lw0 = label("Lw0", "_____0", c.Panel2);
    c.Lw1 = label("Lw1", "_____0", c.Panel2);
    for (QLabel* small : {c.Lw0, c.Lw1}) {
        setFontSize(small, 11, true);
        setTextColour(small, QColor(255, 255, 255));
        small->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    c.Laovl = label("Laovl", "Пререгруз", c.Panel2);
    setFontSize(c.Laovl, 11, true);
    setTextColour(c.Laovl, QColor(255, 64, 64));
    c.Laovl->hide();
    grid->addWidget(c.Lw, 0, 0, 1, 3);
    grid->addWidget(c.Laovl, 1, 0);
    grid->addWidget(c.Lw0, 1, 1);
    grid->addWidget(c.Lw1, 1, 2);
    c.LZero = buildZeroIndicator(c.Panel2);
    grid->addWidget(c.LZero, 2, 0, 1, 3);
    return c.Panel2;
}

QFrame* buildOperatorPanel(MainControls& c, QWidget* parent) {
    c.Panel3 = panel("Panel3", parent);
    auto* grid = new QGridLayout(c.Panel3);
    grid->setContentsMargins(6, 4, 6, 4);
    c.SBut01 = latch("SBut01", "→0←", c.Panel3);
    setFontSize(c.SBut01, 12, true);
    c.SBut01->setMinimumSize(56, 32);
    setHint(c.SBut01, "Обнуление показаний (при пустой платформе)");
    c.Label6 = label("Label6", "Оператор весов", c.Panel3);
    c.DBT1 = label("DBT1", QString(), c.Panel3);
    setFontSize(c.DBT1, 10, true);
    c.DBT1->setFrameShape(QFrame::StyledPanel);
    c.DBT1->setMinimumWidth(200);
    c.But1 = button("But1", "Принять вагон", c.Panel3);
    c.But2 = button("But2", "Отпустить вагон", c.Panel3);
    c.But3 = button("But3", "Отпустить без тары", c.Panel3);
    auto* who = new QVBoxLayout;
    who->addWidget(c.Label6);
    who->addWidget(c.DBT1);
    grid->addWidget(c.SBut01, 0, 0);
    grid->addLayout(who, 0, 1, 1, 2);
    grid->addWidget(c.But1, 1, 0);
    grid->addWidget(c.But2, 1, 1);
    grid->addWidget(c.But3, 1, 2);
    return c.Panel3;
}

QFrame* buildGravityPanel(MainControls& c, QWidget* parent) {
    c.P6 = panel("P6", parent);
    auto* grid = new QGridLayout(c.P6);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(1);
    grid->addWidget(new QLabel("Смещение центра тяжести", c.P6), 0, 0, 1, 3);
    c.L4 = label("L4", "00000", c.P6);
    c.L1 = label("L1", "00000", c.P6);
    c.L2 = label("L2", "00000", c.P6);
    c.L3 = label("L3", "00000", c.P6);
    for (QLabel* value : {c.L1, c.L2, c.L3, c.L4}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(48);
    }
    grid->addWidget(new QLabel("Поперечное, мм", c.P6), 1, 0);
    grid->addWidget(c.L4, 1, 1);
    grid->addWidget(new QLabel("Продольное, кг", c.P6), 2, 0);
    grid->addWidget(c.L1, 2, 1);
    grid->addWidget(c.L2, 2, 2);
    grid->addWidget(new QLabel("мм", c.P6), 2, 3);
    grid->addWidget(new QLabel("База вагона, мм", c.P6), 3, 0);
    grid->addWidget(c.L3, 3, 1);
    return c.P6;
}

QFrame* buildTrainNumberPanel(MainControls& c, QWidget* parent) {
    c.P7 = panel("P7", parent);
    auto* layout = new QVBoxLayout(c.P7);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(new QLabel("Номер состава", c.P7), 0, Qt::AlignHCenter);
    c.But4 = button("But4", "Обнулить", c.P7);
    layout->addWidget(c.But4);
    layout->addStretch(1);
    return c.P7;
}

QFrame* buildRawDataPanel(MainControls& c, QWidget* parent) {
    c.P12 = panel("P12", parent);
    auto* grid = new QGridLayout(c.P12);
    grid->setContentsMargins(6, 4, 6, 4);
    c.SBut11 = latch("SBut11", "Чтение", c.P12);
    c.SBut12 = latch("SBut12", "Запись", c.P12);
    c.LE1 = named(new QLineEdit("w401.dat", c.P12), "LE1");
    c.LE1->setMaximumWidth(110);
    grid->addWidget(new QLabel("Файл", c.P12), 0, 0, 1, 2);
    grid->addWidget(c.LE1, 1, 0, 1, 2);
    grid->addWidget(c.SBut11, 2, 0);
    grid->addWidget(c.SBut12, 2, 1);
    c.P12->hide();
    return c.P12;
}

QWidget* buildTopBand(MainControls& c, QWidget* parent) {
    auto* band = new QWidget(parent);
    band->setObjectName("TopBand");
    band->setFixedHeight(kTopBandHeight);
    auto* row = new QHBoxLayout(band);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(buildWeightDisplay(c, band));
    row->addWidget(buildOperatorPanel(c, band));
    row->addStretch(1);
    row->addWidget(buildGravityPanel(c, band));
    row->addWidget(buildTrainNumberPanel(c, band));
    row->addWidget(buildRawDataPanel(c, band));
    return band;
}

QFrame* buildTrainSelectorBar(MainControls& c, QWidget* parent) {
    c.P11 = panel("P11", parent);
    c.P11->setFixedHeight(36);
    auto* row = new QHBoxLayout(c.P11);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(new QLabel("Состав", c.P11));
    c.LIEtrSlot = named(new QWidget(c.P11), "LIEtrSlot");
    auto* slot = new QHBoxLayout(c.LIEtrSlot);
    slot->setContentsMargins(0, 0, 0, 0);
    row->addWidget(c.LIEtrSlot);
    auto* spin = named(new QWidget(c.P11), "SpinBut1");
    auto* arrows = new QVBoxLayout(spin);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    c.SpinBut1Up = named(new QToolButton(spin), "SpinBut1Up");
    c.SpinBut1Up->setArrowType(Qt::UpArrow);
    c.SpinBut1Down = named(new QToolButton(spin), "SpinBut1Down");
    c.SpinBut1Down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {c.SpinBut1Up, c.SpinBut1Down}) arrow->setFixedSize(22, 14);
    arrows->addWidget(c.SpinBut1Up);
    arrows->addWidget(c.SpinBut1Down);
    row->addWidget(spin);
    c.But11 = button("But11", "Удалить состав", c.P11);
    setHint(c.But11, "Не храните долго обработанные составы - удаляйте!");
    row->addSpacing(12);
    row->addWidget(c.But11);
    row->addSpacing(24);
    c.La11 = label("La11", "Динамическое взвешивание отключено", c.P11);
    setFontSize(c.La11, 10, true);
    setTextColour(c.La11, QColor(255, 0, 0));
    c.La11->hide();
    row->addWidget(c.La11);
    row->addStretch(1);

    // The notice is laid over the selector row, so nothing under it can be used while shown.
    c.P13 = panel("P13", c.P11);
    setBackground(c.P13, QColor(255, 0, 0));
    auto* notice = new QHBoxLayout(c.P13);
    notice->setContentsMargins(4, 0, 4, 0);
    auto* text = new QLabel("Взвешивается проходящий состав. Подождите", c.P13);
    setFontSize(text, 12, true);
    setTextColour(text, QColor(255, 255, 255));
    notice->addWidget(text, 0, Qt::AlignCenter);
    new OverlayKeeper(c.P13, [](QWidget* overlay, const QSize& bar) {
        overlay->setGeometry(0, 4, bar.width(), bar.height() - 4);
    });
    c.P13->hide();
    return c.P11;
}

zv::DataGrid* grid(const char* name, QWidget* parent) {
    auto* view = named(new zv::DataGrid(parent), name);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setFixedWidth(14);
    // Narrow to begin with: each column then grows to its heading and text only, and the train
    // list shows all its columns on a 1366-pixel screen.
    view->horizontalHeader()->setDefaultSectionSize(40);
    return view;
}

QWidget* buildDynamicPage(MainControls& c, QWidget* parent) {
    c.TS1 = named(new QWidget(parent), "TS1");
    auto* layout = new QVBoxLayout(c.TS1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTrainSelectorBar(c, c.TS1));
    c.DBG1 = grid("DBG1", c.TS1);
    layout->addWidget(c.DBG1, 1);
    return c.TS1;
}

QWidget* buildStaticPage(MainControls& c, QWidget* parent) {
    c.TS2 = named(new QWidget(parent), "TS2");
    auto* layout = new QVBoxLayout(c.TS2);
    layout->setContentsMargins(0, 0, 0, 0);
    c.DBG2 = grid("DBG2", c.TS2);
    c.DBG2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(c.DBG2);
    return c.TS2;
}

void buildPages(MainControls& c, QWidget* parent) {
    c.PCon1 = named(new QTabWidget(parent), "PCon1");
    c.PCon1->setDocumentMode(true);
    c.PCon1->addTab(buildDynamicPage(c, c.PCon1), "Динамическое взвешивание");
    c.PCon1->addTab(buildStaticPage(c, c.PCon1), "Статическое взвешивание / Вагоны на территории");
    // Holds the print layouts only; never offered as a tab.
    c.TS3 = named(new QWidget(c.PCon1), "TS3");
    c.PCon1->addTab(c.TS3, QString());
    c.PCon1->setTabVisible(2, false);
    c.PCon1->setCurrentIndex(0);
}

QLabel* debugValue(const char* name, QWidget* parent) {
    auto* value = label(name, "0", parent);
    value->setMinimumWidth(120);
    return value;
}

void buildDebugPanel(MainControls& c, QWidget* parent) {
    c.Panel5 = panel("Panel5", parent);
    setBackground(c.Panel5, QColor(255, 255, 225));
    c.Panel5->setFixedSize(529, 233);
    auto* grid = new QGridLayout(c.Panel5);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(0);
    grid->addWidget(new QLabel("Отладочная информация", c.Panel5), 0, 0, 1, 2);
    c.SBa1 = named(new QToolButton(c.Panel5), "SBa1");
    c.SBa1->setText("Continue");
    c.SBa2 = latch("SBa2", "go", c.Panel5);
    c.SBa2->setChecked(true);
    c.SBa3 = named(new QToolButton(c.Panel5), "SBa3");
    c.SBa3->setText("TrainEnd");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(c.SBa1);
    buttons->addWidget(c.SBa2);
    buttons->addWidget(c.SBa3);
    grid->addLayout(buttons, 0, 2, 1, 2);
    c.La1 = debugValue("La1", c.Panel5);
    c.La2 = debugValue("La2", c.Panel5);
    c.La3 = debugValue("La3", c.Panel5);
    c.La4 = debugValue("La4", c.Panel5);
    c.La1_ = debugValue("La1_", c.Panel5);
    c.La2_ = debugValue("La2_", c.Panel5);
    c.La3_ = debugValue("La3_", c.Panel5);
    c.La4_ = debugValue("La4_", c.Panel5);
    c.La3s = debugValue("La3s", c.Panel5);
    c.La5 = debugValue("La5", c.Panel5);
    c.La6 = debugValue("La6", c.Panel5);
    QLabel* const left[] = {c.La1, c.La2, c.La3, c.La4};
    QLabel* const right[] = {c.La1_, c.La2_, c.La3_, c.La4_};
    for (int row = 0; row < 4; ++row) {
        grid->addWidget(left[row], row + 1, 0, 1, 2);
        grid->addWidget(right[row], row + 1, 2, 1, 2);
    }
    grid->addWidget(c.La3s, 5, 0);
    grid->addWidget(c.La5, 5, 1);
    grid->addWidget(c.La6, 5, 2);
    c.SG1 = named(new QTableWidget(9, 8, c.Panel5), "SG1");
    c.SG1->horizontalHeader()->hide();
    c.SG1->verticalHeader()->hide();
    c.SG1->horizontalHeader()->setDefaultSectionSize(62);
    c.SG1->verticalHeader()->setDefaultSectionSize(14);
    c.SG1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->addWidget(c.SG1, 6, 0, 1, 4);
    new OverlayKeeper(c.Panel5, [](QWidget* overlay, const QSize& area) {
        overlay->move(0, area.height() - overlay->height());
        overlay->raise();
    });
    c.Panel5->hide();
}

}  // namespace

MainControls buildMainLayout(QMainWindow* window) {
    MainControls c;
    auto* central = new QWidget(window);
    central->setObjectName("Central");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    layout->addWidget(buildTopBand(c, central));
    buildPages(c, central);
    layout->addWidget(c.PCon1, 1);
    buildDebugPanel(c, central);
    window->setCentralWidget(central);

    c.StatusLine = named(new QStatusBar(window), "StatusLine");
    window->setStatusBar(c.StatusLine);
    return c;
}
