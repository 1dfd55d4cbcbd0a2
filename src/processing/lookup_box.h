#pragma once

#include <QComboBox>
#include <QStringList>
#include <QVariant>

namespace zv {
class Table;
}

// A list of the rows of a dictionary: each item shows the row's text fields and carries its
// key. Nothing chosen is the key value -1 (kNothingChosen).
class LookupBox : public QComboBox {
    Q_OBJECT
  public:
    LookupBox(zv::Table& table, const QString& keyField, const QStringList& shownFields,
              QWidget* parent = nullptr);

    // Reads the rows again, keeping the chosen key when it is still there.
    void fill();
    QVariant key() const;              // null when nothing is chosen
    int keyValue() const;              // -1 when nothing is chosen
    void setKey(const QVariant& key);  // null or an unknown key chooses nothing

  private:
    zv::Table& table_;
    QString keyField_;
    QStringList shownFields_;
};
