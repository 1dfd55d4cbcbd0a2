#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "central/outbox_listener.h"
#include "settings/settings.h"

class QLabel;
class QStatusBar;

namespace zv {
class RecordsDatabase;
namespace central {
class CentralSender;
struct SenderStatus;
}  // namespace central
}  // namespace zv

// The main window's part in sending to the central database: the outbox on the tables while
// sending is on, the sender for the tables' folder, and its state in the status bar ("SBCentral").
class CentralLink : public QObject {
    Q_OBJECT
public:
    CentralLink(zv::RecordsDatabase& records, QStatusBar* bar, QObject* parent = nullptr);
    ~CentralLink() override;

    // Starts, stops or redirects the sending after the settings (section Central and the folder).
    void apply(const zv::Settings& settings);
    void stop();
    QLabel* label() const { return label_; }

private:
    void show(const zv::central::SenderStatus& status);

    zv::RecordsDatabase& records_;
    QLabel* label_;
    zv::central::OutboxListener outbox_;
    std::unique_ptr<zv::central::CentralSender> sender_;
    zv::CentralSettings running_;
    std::string folder_;
};
