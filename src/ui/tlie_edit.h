#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <cstdint>

// The range-checked integer edit every window uses for the numbers the operator types.
// Only digits, the minus sign and backspace reach it from the keyboard (pasted text with
// anything else is refused as a whole); when the operator leaves it, the text is read
// back, limited to the range and shown again, and exited() follows.
//
// Its caption is a separate label the window places where it likes (for example
// QFormLayout::addRow(edit->label(), edit)); it is shown, hidden, enabled and destroyed
// with the edit. An edit made without a caption has no label at all (label() is null):
// an empty label left in the parent's corner would lie over other controls and take
// their clicks.
class TLIEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TLIEdit(QWidget* parent = nullptr);
    // An empty caption makes no label.
    TLIEdit(const QString& caption, QWidget* parent = nullptr);
    ~TLIEdit() override;

    QLabel* label() const { return label_; }

    int32_t Val() const { return val_; }
    // Limits v to the range and shows it; setting the value it already holds does
    // nothing, not even to text typed meanwhile.
    void setVal(int32_t v);
    int32_t MinVal() const { return minVal_; }
    int32_t MaxVal() const { return maxVal_; }
    // Plain values: the current value is not limited again.
    void setMinVal(int32_t v) { minVal_ = v; }
    void setMaxVal(int32_t v) { maxVal_ = v; }

    // Set when leaving the edit changed Val, cleared on every leaving.
    bool valModified() const { return valModified_; }

    void setVisible(bool visible) override;

  signals:
    // The operator left the edit; Val and the text are already repaired.
    void exited();

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    int32_t limited(int64_t v) const;
    void repair();

    QPointer<QLabel> label_;
    int32_t val_ = 1;
    int32_t minVal_ = 1;
    int32_t maxVal_ = 1000;
    bool valModified_ = false;
};
