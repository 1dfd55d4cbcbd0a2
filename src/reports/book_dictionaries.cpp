#include "reports/book_dictionaries.h"

#include "records/schema.h"
#include "records/table.h"
#include "records/table_error.h"

namespace zv {

namespace {

void allowTables(Database& folder) {
    folder.addPassword(schema::kDictionaryPassword);
    folder.addPassword(schema::kTablePassword);
}

// The dictionary opened in `folder`, or none when it is not there or does not open.
std::unique_ptr<Table> opened(Database& folder, const TableDef& def) {
    auto table = std::make_unique<Table>(folder, def);
    if (!table->exists()) return nullptr;
    try {
        table->open();
    } catch (const TableError&) {
        return nullptr;
    }
    return table;
}

}  // namespace

BookDictionaries::BookDictionaries(const QString& bookFolder, const QString& workingFolder) {
    bookFolder_.setFolder(bookFolder);
    workingFolder_.setFolder(workingFolder);
    allowTables(bookFolder_);
    allowTables(workingFolder_);
    for (const TableDef& def :
         {schema::loads(), schema::stations(), schema::clients(), schema::names()}) {
        std::unique_ptr<Table> table = opened(bookFolder_, def);
        if (!table) table = opened(workingFolder_, def);
        if (table) open_.push_back(std::move(table));
    }
}

BookDictionaries::~BookDictionaries() = default;

const Table* BookDictionaries::dictionary(const QString& name) const {
    for (const auto& table : open_)
        if (table->def().name.compare(name, Qt::CaseInsensitive) == 0) return table.get();
    return nullptr;
}

void BookDictionaries::fillNames(const TableDef& def, QList<Row>& rows) const {
    for (int i = 0; i < def.fields.size(); ++i) {
        const FieldDef& field = def.fields[i];
        if (field.kind != FieldKind::Lookup) continue;
        const Table* source = dictionary(field.lookup->lookupTable);
        const int key = def.requireIndex(field.lookup->keyField);
        for (Row& row : rows) {
            const QVariant k = row.valueAt(key);
            row.setAt(i, source && !k.isNull() ? source->lookup(source->def().primaryKey, k,
                                                                 field.lookup->resultField)
                                               : QVariant());
        }
    }
}

}  // namespace zv
