#include "exerciser/viewer_edits.h"

namespace zv::test {

void ViewerEdits::note(const Input& input, const QString& shown) {
    if (!inViewer(input) || shown.isEmpty()) return;
    // Escape in a cell editor takes the cell back; Escape on the window closes it, which
    // may store what was typed before.
    const bool inEditor = input.within(QStringLiteral("DBG1")) && input.path.front() != "DBG1";
    if ((input.text == QLatin1String("key Escape") && inEditor) ||
        input.within(QStringLiteral("Cancel"))) {
        pending_.remove(shown);
    } else if ((input.edits && input.within(QStringLiteral("DBG1"))) ||
               input.within(QStringLiteral("Insert"))) {
        pending_.insert(shown);
    }
}

}  // namespace zv::test
