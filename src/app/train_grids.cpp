#include "app/train_grids.h"

#include <QFont>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QSet>
#include <QTableView>

#include "app/wagon_number_delegate.h"
#include "records/row.h"
#include "records/table_model.h"
#include "ui/data_grid.h"

namespace {

const QColor kMaroon(128, 0, 0);

// Colours, weight and alignment of the cells, by field.
class GridStyle : public QIdentityProxyModel {
  public:
    GridStyle(zv::TableModel& source, QSet<QString> maroon, QSet<QString> bold,
              QSet<QString> rightAligned, QObject* parent)
        : QIdentityProxyModel(parent),
          source_(source),
          maroon_(std::move(maroon)),
          bold_(std::move(bold)),
          right_(std::move(rightAligned)) {
        setSourceModel(&source);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        const QString field = source_.fieldAt(index.column());
        if (role == Qt::ForegroundRole && maroon_.contains(field)) return kMaroon;
        if (role == Qt::FontRole && bold_.contains(field)) {
            QFont font;
            font.setBold(true);
            return font;
        }
        if (role == Qt::TextAlignmentRole && right_.contains(field))
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QIdentityProxyModel::data(index, role);
    }

  private:
    zv::TableModel& source_;
    QSet<QString> maroon_, bold_, right_;
};

zv::GridColumn column(const QString& field, bool readOnly = true) {
    zv::GridColumn c;
    c.field = field;
    c.readOnly = readOnly;
    return c;
}

// The operator types the wagon number only for wagons still to be processed.
bool wagonNumberEditable(const zv::Row& row) {
    if (row.isNull("Note")) return false;
    const int note = row.toInt("Note");
    return note != 0 && note != 3;
}


}  // namespace

void setupTrainGrid(zv::DataGrid* DBG1, zv::TableModel& DSouT) {
    zv::GridColumn wagon = column("Wagon", false);
    wagon.editableWhen = wagonNumberEditable;
    zv::GridColumn weiL = column("WeiL");
    weiL.visible = false;
    DBG1->setMinimumColumnWidth("Wagon", 72);  // eight digits being typed
    DSouT.setColumns({column("Time"), wagon, column("Weight"), column("Wei1"), column("Wei2"),
                      column("Wei3", false), column("Direct"), column("Note1"), column("Axle"),
                      column("Speed"), column("BaseW"), column("BaseB"), weiL, column("WeiL0"),
                      column("WeiL1")});
    DBG1->bind(&DSouT, new GridStyle(DSouT, {"Wagon", "Note1"}, {"Weight"}, {}, DBG1));
    DBG1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    DBG1->setMinimumColumnWidth("Time", 108);
    DBG1->setItemDelegate(new WagonNumberDelegate(*DBG1));
}

void setupWagonGrid(zv::DataGrid* DBG2, zv::TableModel& DSouW) {
    zv::GridColumn name = column("NameL");
    name.heading = "Принял";
    DSouW.setColumns({column("Wagon"), column("Time"), column("Weight"), column("WNote1"),
                      column("LoadL"), column("StationL"), column("Doc"), column("Note"), name});
    DBG2->bind(&DSouW, new GridStyle(DSouW, {"Wagon"}, {"Weight"}, {"Wagon"}, DBG2));
    DBG2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBG2->setMinimumColumnWidth("Time", 104);
    DBG2->setMinimumColumnWidth("WNote1", 72);
    DBG2->setMinimumColumnWidth("NameL", 142);
}

void showDebugColumns(zv::TableModel& DSouT, bool visible) {
    for (const char* field : {"Wei1", "Wei2", "Wei3"}) DSouT.setColumnVisible(field, visible);
}

void finishCellEdit(zv::DataGrid* grid) { grid->commitEdit(); }
