#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "central/outbox_listener.h"
#include "integrity/witness_check.h"
#include "settings/settings.h"

class QLabel;
class QStatusBar;

namespace zv {
class EventLog;
class RecordsDatabase;
namespace central {
class CentralSender;
struct SenderStatus;
}  // namespace central
}  // namespace zv

// The main window's part in sending to the central database: the outbox on the tables and the
// event log while sending is on (and, once a folder has sent, also while it is switched off, so
// nothing made meanwhile is missing later), the sender for the tables' folder, and its state in
// the status bar ("SBCentral").
class CentralLink : public QObject {
    Q_OBJECT
public:
    CentralLink(zv::RecordsDatabase& records, zv::EventLog& log, QStatusBar* bar, QObject* parent = nullptr);
    ~CentralLink() override;

    // Starts, stops or redirects the sending after the settings (section Central and the folder).
    void apply(const zv::Settings& settings);
    void stop();
    QLabel* label() const { return label_; }
    // Told on the GUI thread what the comparison with the server's witness found, once per
    // start of the sender.
    void setWitnessHandler(std::function<void(const QList<zv::WitnessFinding>&)> handler) {
        witnessHandler_ = std::move(handler);
    }

private:
    void show(const zv::central::SenderStatus& status);
    void logChange(const zv::central::SenderStatus& status);
    QString linkText(const QString& text) const;
    void startQueuing();
    QString seedExistingRows();
    void startSender(const zv::Settings& settings);

    zv::RecordsDatabase& records_;
    zv::EventLog& log_;
    QLabel* label_;
    zv::central::OutboxListener outbox_;
    std::unique_ptr<zv::central::CentralSender> sender_;
    std::function<void(const QList<zv::WitnessFinding>&)> witnessHandler_;
    zv::CentralSettings running_;
    std::string folder_;
    bool applied_ = false;
    bool wasFailing_ = false;
    qint64 rejected_ = 0;  // as last logged; a restart logs what is still set aside once
};
