#pragma once

namespace zv {
class DataGrid;
class TableModel;
}

// The train list `DBG1` over `Trains` and the list of wagons on the territory `DBG2` over
// `Wagons`: their columns, widths, colours and what may be edited.
void setupTrainGrid(zv::DataGrid* DBG1, zv::TableModel& DSouT);
void setupWagonGrid(zv::DataGrid* DBG2, zv::TableModel& DSouW);
// Shows or hides the diagnostic weight columns of the train list.
void showDebugColumns(zv::TableModel& DSouT, bool visible);
// A cell being edited keeps what was typed: the editor's text goes into the table and the
// editor closes, as when the operator moves to another cell.
void finishCellEdit(zv::DataGrid* grid);
