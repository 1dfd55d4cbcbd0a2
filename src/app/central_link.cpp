#include "app/central_link.h"

#include <QLabel>
#include <QStatusBar>

#include "central/connection_params.h"
#include "central/sender.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/events.h"
#include "records/records_database.h"

namespace {

const QString kWaiting = QStringLiteral("изменения ждут в очереди");

}  // namespace

CentralLink::CentralLink(zv::RecordsDatabase& records, zv::EventLog& log, QStatusBar* bar, QObject* parent)
    : QObject(parent), records_(records), log_(log), label_(new QLabel(bar)) {
    label_->setObjectName("SBCentral");
    label_->hide();
    bar->addPermanentWidget(label_);
    outbox_.setEntered([this] {
        if (sender_) sender_->wake();
    });
}

CentralLink::~CentralLink() { stop(); }

void CentralLink::stop() {
    records_.connection().removeWriteListener(&outbox_);
    log_.setAppended({});
    sender_.reset();  // its thread ends within a tenth of a second, whatever the network does
    running_ = {};
    folder_.clear();
    applied_ = false;
    wasFailing_ = false;
}

void CentralLink::apply(const zv::Settings& settings) {
    const zv::CentralSettings& central = settings.Central;
    if (applied_ && central == running_ && settings.Path == folder_) return;
    stop();
    applied_ = true;
    running_ = central;
    folder_ = settings.Path;
    const bool send = zv::central::sending(central);
    const bool queue = send || zv::central::keepsOutbox(records_);
    if (queue) startQueuing();
    label_->setVisible(central.Send || queue);
    if (send) return startSender(settings);
    if (central.Send) {
        label_->setText(QStringLiteral("Центральная база: не указано обозначение весов, записи не передаются") +
                        (queue ? QStringLiteral(", ") + kWaiting : QString()));
    } else if (queue) {
        label_->setText(QStringLiteral("Центральная база: передача выключена, ") + kWaiting);
    }
    label_->setToolTip({});
}

void CentralLink::startQueuing() {
    records_.connection().addWriteListener(&outbox_);
    log_.setAppended([this](zv::SqliteFile& file, qint64 n) { outbox_.eventAppended(file, n); });
}

// What the folder held before sending was first switched on; an error leaves those rows for
// the next start (the changes from now on enter all the same).
QString CentralLink::seedExistingRows() {
    try {
        zv::central::enterExistingRows(outbox_, records_);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

void CentralLink::startSender(const zv::Settings& settings) {
    const QString seedError = seedExistingRows();
    sender_ = std::make_unique<zv::central::CentralSender>(zv::central::paramsFromSettings(settings.Central),
                                                           QString::fromStdString(settings.Path),
                                                           QString::fromStdString(settings.Central.Scale));
    connect(sender_.get(), &zv::central::CentralSender::statusChanged, this, &CentralLink::show);
    connect(sender_.get(), &zv::central::CentralSender::witnessCompared, this, [this](const QList<zv::WitnessFinding>& found) {
        if (witnessHandler_) witnessHandler_(found);
    });
    label_->setText(linkText(QStringLiteral("Центральная база: подключение...")));
    label_->setToolTip(seedError);
}

void CentralLink::show(const zv::central::SenderStatus& status) {
    logChange(status);
    label_->setText(linkText(zv::central::statusText(status)));
    label_->setToolTip(status.error);
}

// The operator sees when the records travel in clear text.
QString CentralLink::linkText(const QString& text) const {
    if (text.isEmpty() || !zv::central::unencrypted(running_)) return text;
    return text + QStringLiteral(" (без шифрования)");
}

// An outage is logged when it begins and when it ends, not at every retry; entries the server
// refused, when there are more of them than before.
void CentralLink::logChange(const zv::central::SenderStatus& status) {
    using State = zv::central::SenderStatus::State;
    const QString subject = QStringLiteral("Центральная база %1").arg(QString::fromStdString(running_.Scale));
    const bool failing = status.state == State::Failing;
    if (failing && !wasFailing_) zv::Events::record(zv::event_kind::CentralLost, subject, {}, status.error);
    if (!failing && wasFailing_) zv::Events::record(zv::event_kind::CentralRestored, subject);
    wasFailing_ = failing;
    if (status.rejected > rejected_)
        zv::Events::record(zv::event_kind::CentralRefused, subject, QString::number(rejected_), QString::number(status.rejected));
    rejected_ = status.rejected;
}
