#pragma once

#include <QLineEdit>
#include <QString>

namespace zv {
class Table;
}

// A line edit bound to one field of the current row of a table. What the operator types
// goes straight into the row being edited; a value the table refuses is reported through
// refused() and the edit shows the row's value again.
class FieldEdit : public QLineEdit {
    Q_OBJECT
  public:
    FieldEdit(zv::Table& table, const QString& field, QWidget* parent = nullptr);

    const QString& field() const { return field_; }
    // Shows the value of the table's current row (nothing while the table is closed).
    void refresh();
    // Lets only these characters be typed: a regular expression of the whole text.
    void acceptOnly(const QString& pattern);
    // Only the digits and backspace are taken from the keyboard.
    void setDigitsOnly(bool on) { digitsOnly_ = on; }

  signals:
    void refused(const QString& message);
    void left();  // the focus went elsewhere

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void write(const QString& text);

    zv::Table& table_;
    QString field_;
    bool writing_ = false;
    bool digitsOnly_ = false;
};
