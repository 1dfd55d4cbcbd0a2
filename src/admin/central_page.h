#pragma once

#include <QWidget>

#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class TLIEdit;

// "Центральная база": whether and where this scale sends its records, and a check of the
// connection that runs in a thread of its own, so the window and the tick never wait on it.
class CentralPage : public QWidget {
    Q_OBJECT
public:
    explicit CentralPage(QWidget* parent = nullptr);

    void fill(const zv::CentralSettings& central);
    zv::CentralSettings values() const;
    // The message refusing the values (sending on without the scale's identity); empty when they do.
    QString refusal() const;

    // The check in progress or its last verdict.
    QString verdict() const;
    bool checking() const { return checker_ != nullptr; }

signals:
    void edited();
    void checked();  // a check ended; verdict() holds what it found

private:
    void startCheck();
    void makeEncryption(QFormLayout* form);
    void selectSslMode(const QString& mode);

    QCheckBox* CBSend = nullptr;
    QLineEdit* EdHost = nullptr;
    TLIEdit* LIEPort = nullptr;
    QLineEdit* EdBase = nullptr;
    QLineEdit* EdUser = nullptr;
    QLineEdit* EdScale = nullptr;
    QComboBox* CBSslMode = nullptr;
    QLineEdit* EdRootCert = nullptr;
    QPushButton* ButCheck = nullptr;
    QLabel* LbVerdict = nullptr;
    QObject* checker_ = nullptr;
};
