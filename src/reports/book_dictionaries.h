#pragma once

#include <QList>
#include <QString>
#include <memory>
#include <vector>

#include "records/database.h"
#include "records/row.h"

namespace zv {

class Table;
struct TableDef;

// The dictionaries the names of a weighing book are looked up in (loads, stations, clients,
// operators): each one from the book's own folder when that folder holds it, as an archive
// holds the copies of its time, else from the working folder. Opened for as long as the
// object lives; a dictionary found in neither folder, or one that does not open, leaves its
// names empty.
class BookDictionaries {
  public:
    BookDictionaries(const QString& bookFolder, const QString& workingFolder);
    ~BookDictionaries();
    BookDictionaries(const BookDictionaries&) = delete;
    BookDictionaries& operator=(const BookDictionaries&) = delete;

    // Sets every lookup field of the rows (of a table defined by `def`) from these dictionaries.
    void fillNames(const TableDef& def, QList<Row>& rows) const;

  private:
    const Table* dictionary(const QString& name) const;

    Database bookFolder_;
    Database workingFolder_;
    std::vector<std::unique_ptr<Table>> open_;
};

}  // namespace zv
