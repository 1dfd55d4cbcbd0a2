// The converter's link as the main window keeps it: opened when the engineer wants it,
// watched for errors and silence, reopened every few seconds while it is lost.

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "admin/setup_w.h"
#include "app/main_window.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "ui/tlie_edit.h"

void TMain::watchLink() {
    SBLink_ = new QLabel(c_.StatusLine);
    SBLink_->setObjectName("SBLink");
    SBLink_->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    SBLink_->hide();
    // Beside the identification, where no passing hint covers it.
    c_.StatusLine->insertPermanentWidget(0, SBLink_);
    connect(&link_, &zv::SerialLink::failed, this, [this] { linkWatch_.portFailed(now()); });
    connect(&linkWatch_, &zv::LinkWatch::linkLost, this, &TMain::onLinkLost);
    connect(&linkWatch_, &zv::LinkWatch::linkRestored, this, &TMain::onLinkRestored);
}

// ReadIni: the link opens at start-up when `Connect` is set. A port that cannot be opened
// then is a lost link like any other: told once, retried, `Connect` kept.
void TMain::setConnect(bool checked) {
    settings_.Connect = checked;
    applyLinkLayout();
    if (!checked) {
        catchUp_->linkBroke();
        link_.close();
        linkWatch_.stopped();
        return;
    }
    const bool opened = link_.open();
    if (opened) zv::Events::record(zv::event_kind::PortOpened, link_.portName());
    linkWatch_.setSilenceLimit(zv::LinkWatch::silenceLimitFor(settings_.Fadc));
    linkWatch_.started(now(), opened);
}

// The engineer's tick in the scale settings: a port that cannot be opened is reported there
// and the box cleared; nothing is retried.
bool TMain::connectLink(bool on) {
    if (!AdminHost::connectLink(on)) {
        linkWatch_.stopped();
        return false;
    }
    if (on) {
        zv::Events::record(zv::event_kind::PortOpened, link_.portName());
        linkWatch_.started(now(), true);
    } else {
        linkWatch_.stopped();
    }
    SBLink_->hide();
    return true;
}

QString TMain::linkState() const {
    return linkWatch_.stateText(now());
}

void TMain::pollLink(uint32_t t) {
    linkWatch_.setSilenceLimit(zv::LinkWatch::silenceLimitFor(settings_.Fadc));
    if (linkWatch_.retryDue(t)) {
        applyLinkLayout();
        linkWatch_.reopened(t, link_.open());
    }
    link_.poll();
    linkWatch_.check(t);
}

void TMain::onLinkLost() {
    const QString message = linkWatch_.lossMessage(link_.portName());
    zv::Events::record(zv::event_kind::PortLost, link_.portName(), {}, message);
    catchUp_->linkBroke();
    cutTrainByLostLink();
    showLinkState(now());
    tellLinkLost(message);
}

void TMain::onLinkRestored(uint32_t outageMs) {
    zv::Events::record(zv::event_kind::PortRestored, link_.portName(), {},
                       QStringLiteral("перерыв ") + zv::LinkWatch::durationText(outageMs));
    // The samples before the outage say nothing of the scale now: the filters start again
    // and the zero is taken anew, as after any opening of the port.
    catchUp_->catchUp().beforePortOpens();
    engine_.resetBeforeOpen();
    SBLink_->hide();
}

// The wagons completed before the loss are stored now; the wagon on the scale when the link
// went has no weight and is not stored.
void TMain::cutTrainByLostLink() {
    if (raw_.Replaying() || !engine_.trainInProgress()) return;  // a replayed train is not the line's
    // Behind the closed gate the train is held: the catch-up ends it over the outage itself.
    if (!catchUp_->catchUp().live()) return;
    const zv::StoredTrain train = engine_.TrainEnd();
    if (!train.empty()) catchUp_->storeFromEngine(train);  // the one road of the engine's trains
    zv::Events::record(zv::event_kind::TrainCut,
                       train.empty() ? QStringLiteral("Состав") : QStringLiteral("Состав %1").arg(LIEtr_->Val()),
                       {},
                       QStringLiteral("вагонов взвешено до потери связи: %1; недовзвешенный вагон не сохраняется")
                           .arg(train.rows.size()));
}

// One box per loss, shown outside the tick: the ticks go on under it and keep retrying.
void TMain::tellLinkLost(const QString& message) {
    const auto tell = [this, message] {
        if (linkBoxOpen_) return;
        linkBoxOpen_ = true;
        showInformation(message);
        linkBoxOpen_ = false;
    };
    if (ticking_)
        QTimer::singleShot(0, this, tell);
    else
        tell();
}

// Every tick: the status bar and the settings window say how the link stands, and while it
// is lost no live weight keeps its last number (a window opened meanwhile included).
void TMain::showLinkState(uint32_t t) {
    if (w_.SetupW && w_.SetupW->isVisible()) w_.SetupW->showLinkState(linkWatch_.stateText(t));
    if (!linkWatch_.isLost()) return;
    const QString status = linkWatch_.statusText(link_.portName());
    if (SBLink_->text() != status) SBLink_->setText(status);
    SBLink_->show();
    display_->showNoLink();
}
