#pragma once

#include <QLineEdit>
#include <QString>

namespace zv {
class Table;
}

// A line edit bound to one field of the current row of a table. What the operator types
// goes straight into the row being edited; a value the table refuses is reported through
// refused() and the edit shows the row's value again.
//
// However text gets in (typed, pasted, dropped), the edit holds only what its field can
// store: a text field at most its length, an integer field a number of its type.
class FieldEdit : public QLineEdit {
    Q_OBJECT
  public:
    FieldEdit(zv::Table& table, const QString& field, QWidget* parent = nullptr);

    const QString& field() const { return field_; }
    // Shows the value of the table's current row (nothing while the table is closed).
    void refresh();
    // Only the digits 0 to 9 get in (a text field holding a number); the placeholder the
    // field may show is replaced by the first digit typed after it.
    void setDigitsOnly(const QString& placeholder);

  signals:
    void refused(const QString& message);
    void left();  // the focus went elsewhere

  protected:
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void write(const QString& text);

    zv::Table& table_;
    QString field_;
    bool writing_ = false;
};
