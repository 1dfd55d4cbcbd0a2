#pragma once

#include <QString>

class TMain;

namespace zv::test {

// What the operator does in the program's windows, as the operator does it: through the
// menu, the buttons and the grids, with every modal window acted on while it is open.

// "Смена": signs in operator `n` with access code `code`.
void changeShift(TMain& main, int n, const QString& code);

// "Принять вагон" on row `row` of the train list: load `load`, the first station and
// client, document "D-123", "Готово".
void acceptWagon(TMain& main, int row, int load);

// "Отпустить вагон" on row `row` of the train list: "Без груза", "Готово".
void releaseWagon(TMain& main, int row);

// The weighing-book report previewed from its window and saved once as PDF, once as text.
void saveBookReport(TMain& main, const QString& pdfPath, const QString& textPath);

// What the calibration page of the scale settings shows under "rx err." after a tick.
QString shownFrameErrors(TMain& main);

}  // namespace zv::test
