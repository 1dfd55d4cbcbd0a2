#pragma once

#include <QDialog>

class QLabel;

// The about box.
class TAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TAbout(QWidget* parent = nullptr);

    // The software identification, the event counter and the calibration counter.
    void setRecordsInfo(const QString& identification, qint64 events, const QString& calibration);
    // Whether the factory access code is still in use.
    void setAccessCodeState(const QString& caption);

  private:
    QLabel* ident_ = nullptr;
    QLabel* eventCount_ = nullptr;
    QLabel* calibration_ = nullptr;
    QLabel* accessCode_ = nullptr;
};
