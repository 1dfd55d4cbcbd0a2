#include "processing/lookup_box.h"

#include "processing/processing_mode.h"
#include "records/table.h"

LookupBox::LookupBox(zv::Table& table, const QString& keyField, const QStringList& shownFields,
                     QWidget* parent)
    : QComboBox(parent), table_(table), keyField_(keyField), shownFields_(shownFields) {}

void LookupBox::fill() {
    const QVariant chosen = key();
    clear();
    if (table_.isOpen()) {
        for (const zv::Row& row : table_.readFilteredRows()) {
            QStringList texts;
            for (const QString& field : shownFields_) texts.append(row.value(field).toString());
            addItem(texts.join(QStringLiteral("  ")), row.value(keyField_));
        }
    }
    setKey(chosen);
}

QVariant LookupBox::key() const {
    return currentIndex() < 0 ? QVariant() : currentData();
}

int LookupBox::keyValue() const {
    return currentIndex() < 0 ? zv::kNothingChosen : currentData().toInt();
}

void LookupBox::setKey(const QVariant& key) {
    setCurrentIndex(key.isNull() ? -1 : findData(key));
}
