#pragma once

#include <QDialog>
#include <QVariant>
#include <functional>

class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;

namespace zv {
class Table;
}

// Operator shift change: who works this shift, checked against the operator's access code.
class TShiftS : public QDialog {
    Q_OBJECT
  public:
    using Messenger = std::function<void(const QString&)>;

    explicit TShiftS(QWidget* parent = nullptr);

    // The operators; the window positions it on the chosen one as it closes.
    void setNames(zv::Table* names) { names_ = names; }
    // Messages of the window ("Неверный пароль", "Необходимо указать оператора").
    void setMessenger(Messenger messenger) { messenger_ = std::move(messenger); }
    // The current operator number: "Отмена" is offered only once there is one (>= 0).
    void setCurrentOperator(int number) { currentOperator_ = number; }

    // N of the operator chosen in the list, -1 for none.
    int chosenOperator() const;
    void chooseOperator(int number);  // as if picked from the list

    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormShow();
    void LCBox1CloseUp();
    void Button1Click();
    // Pass of the chosen operator, null for none or no code.
    QVariant chosenCode() const;
    // The chosen operator has a code and is not the current one.
    bool codeRequired() const;
    void ensureFallbackOperator();
    void fillList();
    void tell(const QString& text);

    zv::Table* names_ = nullptr;
    Messenger messenger_;
    int currentOperator_ = -1;
    QComboBox* LCBox1 = nullptr;
    QFrame* P1 = nullptr;
    QLineEdit* E1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
