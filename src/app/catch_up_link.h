#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "app/late_trains.h"
#include "app/passage_notice.h"
#include "catchup/gate_catch_up.h"

namespace zv {
class SerialLink;
class EventLog;
class Table;
}  // namespace zv

// The main window's part in weighing what passes while dynamic weighing is switched off:
// the catch-up on the engine, the link's breaks it is told of, the red line, the events of
// the log and the marks of the trains weighed late.
class CatchUpLink : public QObject, private zv::CatchUpHost, private zv::LinkContinuity {
  public:
    // Stores a train as the window stores every train; returns its number (0: none stored).
    using Store = std::function<int(const zv::StoredTrain&)>;

    CatchUpLink(zv::WeighingEngine& engine, const zv::Settings& settings, zv::SerialLink& link,
                QTabWidget* pages, Store store, QObject* parent = nullptr);

    zv::GateCatchUp& catchUp() { return catchUp_; }
    PassageNotice& notice() { return notice_; }
    const LateTrains& lateTrains() const { return late_; }

    // At the start of the tick: the gate of dynamic weighing as the windows stand.
    void tick(bool gateOpen, uint32_t nowMs);
    // The port was closed or failed (the lead's link watch may call it too).
    void linkBroke() { ++breaks_; }
    // A train the engine completed live is stored: marked when it began on held samples.
    int storeFromEngine(const zv::StoredTrain& train);
    // The tables' folder opened: the marks of its log.
    void tablesOpened(const zv::EventLog& log, const zv::Table& trains);

  private:
    // zv::CatchUpHost
    void storeLateTrain(const zv::StoredTrain& train) override;
    void passageStarted() override;
    void passageEnded(int32_t maxLoadKg) override;
    void passageNotWeighed(zv::NotWeighedReason reason) override;
    // zv::LinkContinuity
    uint64_t interruptions() const override { return breaks_; }

    void markLate(int number);
    QString notWeighedText(zv::NotWeighedReason reason) const;

    const zv::Settings& settings_;
    Store store_;
    const zv::Table* trains_ = nullptr;
    uint64_t breaks_ = 0;
    zv::GateCatchUp catchUp_;
    PassageNotice notice_;
    LateTrains late_;
};
