#include "central/sender.h"

#include "central/witness.h"

#include "records/table_error.h"

#include <QDebug>

#include <algorithm>

namespace zv::central {

SenderWorker::SenderWorker(ConnectionParams params, QString folder, QString scale, const std::atomic<bool>& stop)
    : params_(std::move(params)), pusher_(folder, scale), folder_(std::move(folder)), scale_(std::move(scale)) {
    connection_.setStopFlag(&stop);
}

void SenderWorker::begin() {
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &SenderWorker::cycle);
    status_.state = SenderStatus::State::Sending;
    try {
        status_.lastTransfer = pusher_.queue().lastSent();  // from before a restart, too
        status_.rejected = pusher_.queue().rejectedCount();
    } catch (const TableError&) {
        // Unknown until the next transfer.
    }
    timer_->start(0);
}

void SenderWorker::wake() {
    // During a retry pause new entries wait for its end; otherwise they go shortly, together.
    if (!timer_ || pause_.count() > 0) return;
    if (!timer_->isActive() || timer_->remainingTime() > 200) timer_->start(200);
}

void SenderWorker::finish() {
    if (timer_) timer_->stop();
    connection_.close();
}

void SenderWorker::report(SenderStatus::State state) {
    status_.state = state;
    emit statusChanged(status_);
}

void SenderWorker::cycle() {
    try {
        if (!connection_.isOpen()) connection_.connect(params_);
        if (!witnessCompared_) compareWithWitness();
        while (pusher_.pushBatch(connection_) > 0) {
            status_.lastTransfer = QDateTime::currentDateTime();
            status_.queued = pusher_.queue().count();
            status_.rejected = pusher_.queue().rejectedCount();
            report(status_.queued > 0 ? SenderStatus::State::Sending : SenderStatus::State::Sent);
        }
        status_.queued = 0;
        if (status_.state != SenderStatus::State::Sent || !status_.error.isEmpty()) {
            status_.error.clear();
            report(SenderStatus::State::Sent);
        }
        pause_ = std::chrono::milliseconds(0);
        timer_->start(kIdlePoll);
    } catch (const PgError& e) {
        failed(e.message());
    } catch (const TableError& e) {
        failed(e.message());
    }
}

void SenderWorker::compareWithWitness() {
    const QList<WitnessFinding> findings = checkAgainstWitness(connection_, scale_, folder_);
    witnessCompared_ = true;
    emit witnessCompared(findings);
}

void SenderWorker::failed(const QString& error) {
    connection_.close();
    try {
        status_.queued = pusher_.queue().count();
    } catch (const TableError&) {
        // The count stays as last seen.
    }
    // Logged once when an outage begins, not on every retry. An outage is the network's
    // business, not a fault of the program: information, not a warning.
    if (status_.state != SenderStatus::State::Failing) qInfo().noquote() << "Центральная база:" << error;
    status_.error = error;
    report(SenderStatus::State::Failing);
    pause_ = pause_.count() == 0 ? kFirstRetry : std::min(pause_ * 2, kLongestRetry);
    timer_->start(pause_);
}

CentralSender::CentralSender(ConnectionParams params, QString folder, QString scale, QObject* parent)
    : QObject(parent), worker_(new SenderWorker(std::move(params), std::move(folder), std::move(scale), stop_)) {
    qRegisterMetaType<SenderStatus>();
    qRegisterMetaType<QList<WitnessFinding>>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &SenderWorker::statusChanged, this, [this](const SenderStatus& s) {
        status_ = s;
        emit statusChanged(s);
    });
    connect(worker_, &SenderWorker::witnessCompared, this, &CentralSender::witnessCompared);
    thread_.setObjectName(QStringLiteral("central sender"));
    thread_.start();
    QMetaObject::invokeMethod(worker_, &SenderWorker::begin, Qt::QueuedConnection);
}

CentralSender::~CentralSender() {
    stop_ = true;  // ends a wait on the network within a tenth of a second
    QMetaObject::invokeMethod(worker_, &SenderWorker::finish, Qt::QueuedConnection);
    thread_.quit();
    thread_.wait();
}

// A train enters a hundred entries: one call on its way to the sender's thread is enough.
void CentralSender::wake() {
    if (wakePosted_.exchange(true)) return;
    QMetaObject::invokeMethod(worker_, [this] {
        wakePosted_ = false;
        worker_->wake();
    }, Qt::QueuedConnection);
}

}  // namespace zv::central
