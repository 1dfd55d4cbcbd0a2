#include "app/central_link.h"

#include <QLabel>
#include <QStatusBar>

#include "central/connection_params.h"
#include "central/sender.h"
#include "records/records_database.h"

CentralLink::CentralLink(zv::RecordsDatabase& records, QStatusBar* bar, QObject* parent)
    : QObject(parent), records_(records), label_(new QLabel(bar)) {
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
    sender_.reset();  // its thread ends within a tenth of a second, whatever the network does
    running_ = {};
    folder_.clear();
}

void CentralLink::apply(const zv::Settings& settings) {
    const zv::CentralSettings& central = settings.Central;
    if (sender_ && central == running_ && settings.Path == folder_) return;
    stop();
    label_->setVisible(central.Send);
    if (!central.Send) return;
    if (!zv::central::sending(central)) {
        label_->setText("Центральная база: не указано обозначение весов, записи не передаются");
        return;
    }
    records_.connection().addWriteListener(&outbox_);
    QString seedError;
    try {
        zv::central::enterExistingRows(outbox_, records_);
    } catch (const std::exception& e) {
        seedError = QString::fromUtf8(e.what());  // the rows already there wait for the next start
    }
    running_ = central;
    folder_ = settings.Path;
    sender_ = std::make_unique<zv::central::CentralSender>(zv::central::paramsFromSettings(central),
                                                           QString::fromStdString(settings.Path),
                                                           QString::fromStdString(central.Scale));
    connect(sender_.get(), &zv::central::CentralSender::statusChanged, this, &CentralLink::show);
    label_->setText("Центральная база: подключение...");
    label_->setToolTip(seedError);
}

void CentralLink::show(const zv::central::SenderStatus& status) {
    label_->setText(zv::central::statusText(status));
    label_->setToolTip(status.error);
}
