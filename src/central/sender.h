#pragma once

#include "central/pg_connection.h"
#include "central/push.h"
#include "central/sender_status.h"
#include "integrity/witness_check.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <memory>

namespace zv::central {

// Runs in the sender's thread: once connected, compares the folder's seal chains with what the
// server witnessed (once per start), then pushes the outbox whenever there is something to
// push, and after a failure tries again with a pause that doubles up to a minute.
class SenderWorker : public QObject {
    Q_OBJECT
public:
    SenderWorker(ConnectionParams params, QString folder, QString scale, const std::atomic<bool>& stop);

    static constexpr std::chrono::milliseconds kIdlePoll{2000};
    static constexpr std::chrono::milliseconds kFirstRetry{1000};
    static constexpr std::chrono::milliseconds kLongestRetry{60000};

public slots:
    void begin();
    void wake();
    void finish();

signals:
    void statusChanged(const zv::central::SenderStatus& status);
    void witnessCompared(const QList<zv::WitnessFinding>& findings);

private:
    void cycle();
    void compareWithWitness();
    void failed(const QString& error);
    void report(SenderStatus::State state);

    ConnectionParams params_;
    Pusher pusher_;
    PgConnection connection_;
    QTimer* timer_ = nullptr;
    std::chrono::milliseconds pause_{0};
    SenderStatus status_;
    QString folder_, scale_;
    bool witnessCompared_ = false;
};

// The sender of the program: a thread of its own with its own connections to the server and
// the table files, so the tick and the windows never wait on the network.
class CentralSender : public QObject {
    Q_OBJECT
public:
    CentralSender(ConnectionParams params, QString folder, QString scale, QObject* parent = nullptr);
    ~CentralSender() override;

    // Asks for a push soon (after new entries); safe from any thread.
    void wake();
    const SenderStatus& status() const { return status_; }

signals:
    void statusChanged(const zv::central::SenderStatus& status);
    // The comparison with the witness, once the server could be asked (empty: the chains agree).
    void witnessCompared(const QList<zv::WitnessFinding>& findings);

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> wakePosted_{false};
    QThread thread_;
    SenderWorker* worker_;
    SenderStatus status_;
};

}  // namespace zv::central
