#pragma once

#include <QSet>
#include <QString>

#include "exerciser/operator_hands.h"

namespace zv::test {

// The tables the operator has changed something of in the table viewer and not yet seen
// stored: typed into its grid, or inserted a row with "+". A stored change of such a table
// by an input in the viewer is the operator's; any other change there is not. Escape in a
// cell editor and the navigator's "✗" take the change back.
class ViewerEdits {
  public:
    // `shown`: the file of the table the viewer shows when the input goes out.
    void note(const Input& input, const QString& shown);
    bool pending(const QString& file) const { return pending_.contains(file); }
    void stored(const QString& file) { pending_.remove(file); }

    static bool inViewer(const Input& input) { return input.within(QStringLiteral("DBView")); }

  private:
    QSet<QString> pending_;
};

}  // namespace zv::test
