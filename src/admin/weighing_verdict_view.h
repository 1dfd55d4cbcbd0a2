#pragma once

#include <QStringList>
#include <QWidget>

#include "commissioning/weighing_check.h"

class QVBoxLayout;

// The verdict of the weighing-window check under the scale parameters: one line each,
// green when the scale weighs every wagon up to Vmax, red for what fails, grey for notes.
class WeighingVerdictView : public QWidget {
    Q_OBJECT
  public:
    explicit WeighingVerdictView(QWidget* parent = nullptr);

    void showCheck(const zv::WeighingCheck& check);
    bool passes() const { return passes_; }
    QStringList lines() const;
    // The failing lines, for the question on saving.
    QStringList failures() const { return failures_; }

  private:
    QVBoxLayout* layout_;
    bool passes_ = false;
    QStringList failures_;
};
