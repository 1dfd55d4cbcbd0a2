#include "exerciser/exerciser.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <limits>

#include "admin/db_view.h"
#include "integrity/event_kinds.h"
#include "integrity/events.h"
#include "integrity/records_integrity.h"
#include "processing/w_pro.h"

namespace zv::test {
namespace {

long loggedCount(const QString& kind) {
    zv::RecordsIntegrity* integrity = zv::Events::installed();
    if (!integrity || !integrity->log().isOpen()) return 0;
    integrity->collect();
    return integrity->log().countOf(kind);
}

// Saves of the scale's parameters or calibration: after one, the trains the feed simulated
// for the old scale need not be weighed at all (connecting and disconnecting do not count).
long scaleChanges() {
    zv::RecordsIntegrity* integrity = zv::Events::installed();
    if (!integrity || !integrity->log().isOpen()) return 0;
    long changes = integrity->log().countOf(zv::event_kind::Calibration);
    for (const zv::Event& e : integrity->log().read({{}, {}, zv::event_kind::SettingChanged}))
        if (e.subject.startsWith("Scales/") && e.subject != "Scales/Connect") ++changes;
    return changes;
}

constexpr int kRecentInputs = 16;
constexpr int kFaultLimit = 200;
constexpr int kRepeatedBoxTicks = 5;
constexpr int kUnwindLimit = 60;

// The dialogs a test must never leave waiting for a person: each is cancelled at once.
bool isFileOrPrintDialog(const QWidget* window) {
    return window->inherits("QFileDialog") || window->inherits("QAbstractPrintDialog") ||
           window->inherits("QPageSetupDialog");
}

QString canonical(const QString& path) {
    const QString c = QDir(path).canonicalPath();
    return c.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : c;
}

// While it lives, every question is answered Yes; the messages are still recorded.
class AnswerYes : public MessageResponder {
  public:
    explicit AnswerYes(ScriptedMessages& record)
        : record_(record), previous_(Messages::setResponder(this)) {}
    ~AnswerYes() override { Messages::setResponder(previous_); }
    AnswerYes(const AnswerYes&) = delete;
    AnswerYes& operator=(const AnswerYes&) = delete;

    bool respond(const Message& message) override {
        record_.respond(message);
        return true;
    }

  private:
    ScriptedMessages& record_;
    MessageResponder* previous_;
};

void closeWindow(QWidget* window) {
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
    } else {
        window->close();
    }
}

}  // namespace

Exerciser::Exerciser(AppFixture& app, TrainFeed& feed, ExerciserOptions options)
    : app_(app), feed_(feed), options_(std::move(options)), hands_(options_.seed) {
    // The folder trees would point the tables at folders of this machine outside the test's
    // folder, and the port list reaches its real serial devices: random hands stay off them.
    options_.keepAway << "SetupP/STV1"
                      << "SetupP/STV2"
                      << "SetupW/CCBox1";
    hands_.keepAway([this](const QWidget* w) {
        return !w->objectName().isEmpty() &&
               options_.keepAway.contains(nameOf(w->window()) + "/" + w->objectName());
    });
    // The run goes on in the same program: it is never ended from its menu.
    hands_.keepAway(app_.main().menu().Exit);
    warnings_.onFault([this](const QString& text) { fault("Qt warning: " + text); });
    if (!options_.logPath.isEmpty()) {
        log_.setFileName(options_.logPath);
        if (!log_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
            fault("cannot write the input log " + options_.logPath);
    }
}

Exerciser::~Exerciser() = default;

ExerciserReport Exerciser::run() {
    // Keyboard search in lists and boxes never times out, so typed letters act alike however
    // fast the machine runs the inputs.
    const int searchInterval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(std::numeric_limits<int>::max());
    clock_.start();
    if (const RecordsIntegrity* integrity = Events::installed())
        linkLossesBefore_ = integrity->log().countOf(event_kind::PortLost);
    dump_ = dumpTables(dbFolder(), judgedFiles());
    const TrainCount before{feed_.trainsSent(), feed_.trainsBroken(), loggedCount(zv::event_kind::TrainStored),
                            loggedCount(zv::event_kind::PassageNotWeighed), scaleChanges()};
    QTimer::singleShot(0, this, [this] { step(); });
    loop_.exec();
    countTrains(before);
    for (const QString& failure : integrityFailures(dbFolder()))
        fault("integrity check: " + failure);
    report_.ticks = feed_.ticks();
    report_.trainsSent = feed_.trainsSent();
    report_.linkDrops = feed_.linkDrops();
    if (const RecordsIntegrity* integrity = Events::installed()) {
        report_.linkLosses = integrity->log().countOf(event_kind::PortLost) - linkLossesBefore_;
        report_.trainsCut = integrity->log().countOf(event_kind::TrainCut);
    }
    report_.warnings = warnings_.warnings();
    report_.messages = static_cast<int>(app_.messages.shown().size());
    QApplication::setKeyboardInputInterval(searchInterval);
    report_.alive = !stopped_ && app_.main().isVisible();
    if (report_.alive) {
        try {
            feed_.tick();  // the program still takes its line and its tick
        } catch (const std::exception& e) {
            fault(QString("the last tick failed: ") + e.what());
            report_.alive = false;
        }
    }
    return report_;
}

// Every train sent is either stored or told as not weighed (a passage while dynamic weighing
// was off that could not be weighed later). With the windows closed and the dynamic page
// shown again, as an operator leaves the program, quiet ticks let it weigh what it holds.
void Exerciser::countTrains(const TrainCount& before) {
    if (stopped_ || !app_.main().isVisible()) return;
    app_.main().controls().PCon1->setCurrentWidget(app_.main().controls().TS1);
    try {
        feed_.settle();
    } catch (const std::exception& e) {
        fault(QString("the ticks after the run failed: ") + e.what());
        return;
    }
    report_.trainsStored = loggedCount(zv::event_kind::TrainStored) - before.stored;
    report_.trainsNotWeighed = loggedCount(zv::event_kind::PassageNotWeighed) - before.notWeighed;
    const long sent = feed_.trainsSent() - before.sent;
    report_.trainsBroken = feed_.trainsBroken() - before.broken;
    const long lost = sent - report_.trainsBroken - report_.trainsStored - report_.trainsNotWeighed;
    report_.trainsJudged = scaleChanges() == before.scaleChanges;
    if (lost > 0 && report_.trainsJudged)
        fault(QStringLiteral("trains lost: %1 of %2 sent were neither stored nor told as not weighed")
                  .arg(lost)
                  .arg(sent));
}

bool Exerciser::finished() const {
    return stopped_ || report_.inputs >= options_.inputs ||
           (options_.seconds > 0 &&
            static_cast<double>(clock_.elapsed()) >= options_.seconds * 1000);
}

// While the link is lost the weight shown must say so, never keep the number from before.
void Exerciser::checkLostLinkShown() {
    TMain& main = app_.main();
    if (!main.linkWatch().isLost() || main.rawData().Replaying()) return;
    const QString shown = main.controls().Lw->text();
    if (shown != QStringLiteral("Нет связи")) fault("the link is lost and the weight shows " + shown);
}

void Exerciser::step() {
    if (done_) return;
    // Scheduled first: when the input opens a modal window, the next step runs inside it.
    QTimer::singleShot(0, this, [this] { step(); });
    // An input being sent runs the events it caused itself (the test library and the line
    // do). The next input goes out only inside a modal window opened since; under a window
    // an input is still being sent to, or one that has closed and is unwinding, it waits.
    if (std::find(sending_.begin(), sending_.end(), QApplication::activeModalWidget()) !=
        sending_.end())
        return;
    app_.main().timer()->stop();  // every tick is the line's, so a seed replays alike
    watchProcessing();
    compare();
    if (finished()) {
        unwind();
        return;
    }
    if (++sinceTick_ > options_.inputsPerTick) {
        sinceTick_ = 0;
        Input tick;
        tick.window = QStringLiteral("line");
        tick.text = QStringLiteral("tick");
        tick.send = [this] {
            feed_.tick();
            checkLostLinkShown();
        };
        const std::size_t shownBefore = app_.messages.shown().size();
        send(std::move(tick));
        watchMessages(shownBefore);
        return;
    }
    QWidget* window = targetWindow();
    if (!window->isActiveWindow() && !window->inherits("QMenu") &&
        QApplication::activePopupWidget() == nullptr)
        window->activateWindow();
    std::optional<Input> input = dialogInput(window);
    if (!input) input = hands_.next(window);
    ++report_.inputs;
    ++report_.windows[input->window];
    send(std::move(*input));
}

QWidget* Exerciser::targetWindow() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : &app_.main();
}

std::optional<Input> Exerciser::dialogInput(QWidget* window) {
    const bool other = window != &app_.main() && !window->isModal() && !window->inherits("QMenu") &&
                       QApplication::activePopupWidget() == nullptr;
    if (!isFileOrPrintDialog(window) && !(other && hands_.pick(8) == 0)) return std::nullopt;
    Input input;
    input.window = nameOf(window);
    input.text = "close " + QString::fromLatin1(window->metaObject()->className());
    input.path = QStringList{input.window};
    input.send = [window] { closeWindow(window); };
    return input;
}

void Exerciser::unwind() {
    QWidget* open = QApplication::activePopupWidget();
    if (!open) open = QApplication::activeModalWidget();
    if (!open) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &app_.main() && w->isVisible() && !w->inherits("QMenu")) open = w;
    }
    if (!open) {
        done_ = true;
        loop_.quit();
        return;
    }
    Input input;
    input.window = nameOf(open);
    input.path = QStringList{input.window};
    if (++unwound_ > kUnwindLimit) {
        fault("the window " + input.window + " does not close");
        input.text = "hide " + input.window;
        input.send = [open] { open->hide(); };
    } else {
        // "Выйти, не сохраняя…?" and the like are answered Yes: the run is over.
        input.text = "at the end: close " + input.window;
        input.send = [this, open] {
            AnswerYes yes(app_.messages);
            closeWindow(open);
        };
    }
    send(std::move(input));
}

void Exerciser::send(Input input) {
    const long number = ++lastNumber_;
    viewer_.note(input, viewerTable());
    last_ = input;
    logInput(input);
    sending_.push_back(QApplication::activeModalWidget());
    try {
        input.send();
    } catch (const std::exception& e) {
        fault(QString("exception out of the input: ") + e.what());
    } catch (...) {
        fault(QStringLiteral("exception out of the input"));
    }
    sending_.pop_back();
    logMessages();
    watchProcessing();
    compare();
    endProcessing(number);
    checkSandbox();
    if (!stopped_ && !app_.main().isVisible()) {
        fault(QStringLiteral("the main window is gone"));
        stopped_ = true;
    }
}

void Exerciser::logInput(const Input& input) {
    logLine(QStringLiteral("#%1 [%2] %3 → %4 d%5")
                .arg(lastNumber_)
                .arg(input.window, input.text, input.path.join('/'))
                .arg(sending_.size()));
}

void Exerciser::logLine(const QString& line) {
    recent_.push_back(line);
    if (recent_.size() > kRecentInputs) recent_.pop_front();
    trail_.add(line);
    if (log_.isOpen()) {
        log_.write(line.toUtf8() + '\n');
        log_.flush();
    }
}

void Exerciser::logMessages() {
    const auto& shown = app_.messages.shown();
    for (std::size_t i = messagesLogged_; i < shown.size(); ++i) {
        // The temporary folder is left out, so that logs of one seed compare equal.
        QString text = shown[i].text;
        text.replace(QLatin1String("\r\n"), QLatin1String(" / "))
            .replace(app_.folder(), QLatin1String("<folder>/"));
        logLine("    message: " + text);
    }
    messagesLogged_ = shown.size();
}

QStringList Exerciser::judgedFiles() const {
    RecordsDatabase& r = app_.main().records();
    QStringList files;
    for (Table* t :
         {&r.Book(), &r.Wagons(), &r.Names(), &r.Loads(), &r.Stations(), &r.Clients(), &r.BasesW()})
        if (!t->fileName().isEmpty()) files << t->fileName();
    return files;
}

QString Exerciser::dbFolder() const {
    return app_.main().records().connection().folder();
}

QString Exerciser::viewerTable() const {
    const TDBView* viewer = app_.main().windows().DBView;
    if (!viewer || !viewer->isVisible()) return {};
    const auto* box = viewer->findChild<QComboBox*>(QStringLiteral("CBox1"));
    if (!box) return {};
    RecordsDatabase& r = app_.main().records();
    const Table* tables[] = {&r.Book(),     &r.Wagons(),  &r.Names(), &r.Loads(),
                             &r.Stations(), &r.Clients(), &r.BasesW()};
    const int item = box->currentIndex();
    return item >= 0 && item < static_cast<int>(std::size(tables)) ? tables[item]->fileName()
                                                                   : QString();
}

QSet<QString> Exerciser::onPurpose() const {
    QSet<QString> files;
    if (ViewerEdits::inViewer(last_))
        for (const QString& file : judgedFiles())
            if (viewer_.pending(file)) files << file;
    if (processing_) {
        // The window works on its row of Wagons from its opening to its closing; what a
        // cancel leaves behind is judged when the input that opened it returns.
        RecordsDatabase& r = app_.main().records();
        files << r.Wagons().fileName();
        if (processing_->closer == lastNumber_ && processing_->accepted)
            files << r.Book().fileName();
    }
    return files;
}

void Exerciser::compare() {
    TablesDump now = dumpTables(dbFolder(), judgedFiles());
    if (now == dump_) return;
    const QSet<QString> allowed = onPurpose();
    bool onPurposeChange = false;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const QString& file = it.key();
        if (dump_.value(file) == it.value()) continue;
        if (!dump_.contains(file)) continue;  // a table file the run had not seen (a new book)
        if (allowed.contains(file)) {
            onPurposeChange = true;
            if (ViewerEdits::inViewer(last_)) viewer_.stored(file);
            continue;
        }
        fault("stored rows changed without the operator meaning it:\n    " +
              rowDifferences(file, dump_.value(file), it.value()).join("\n    "));
    }
    if (onPurposeChange) ++report_.storedChanges;
    dump_ = std::move(now);
}

void Exerciser::watchProcessing() {
    const TWPro* window = app_.main().windows().WPro;
    if (!window) return;
    if (!processing_ && window->isVisible()) {
        processing_ = Session{lastNumber_, dump_, -1, false};
    } else if (processing_ && processing_->closer < 0 && !window->isVisible()) {
        processing_->closer = lastNumber_;
        processing_->accepted = window->result() == QDialog::Accepted;
    }
}

// The input that opened the processing window has returned: the window and what the main
// window does after it are over.
void Exerciser::endProcessing(long input) {
    if (!processing_ || processing_->opener != input) return;
    if (!processing_->accepted) {
        RecordsDatabase& r = app_.main().records();
        QStringList left;
        for (const QString& file : {r.Book().fileName(), r.Wagons().fileName()})
            left << rowDifferences(file, processing_->before.value(file), dump_.value(file));
        if (!left.isEmpty())
            fault(QStringLiteral("the processing window opened by input #%1 was cancelled, yet "
                                 "left stored rows changed:\n    ")
                      .arg(input) +
                  left.join("\n    "));
    }
    processing_.reset();
}

void Exerciser::watchMessages(std::size_t shownBefore) {
    const auto& shown = app_.messages.shown();
    const bool boxOnThisTick = shown.size() > shownBefore;
    const QString text = boxOnThisTick ? shown.back().text : QString();
    if (!boxOnThisTick) {
        repeats_ = 0;
        return;
    }
    repeats_ = text == repeating_ ? repeats_ + 1 : 1;
    repeating_ = text;
    if (repeats_ == kRepeatedBoxTicks && !repeatingReported_.contains(text)) {
        repeatingReported_.insert(text);
        fault("the same message box comes back on every tick: " + text);
    }
}

void Exerciser::checkSandbox() {
    const QString home = canonical(app_.folder());
    const QString tables = canonical(dbFolder());
    if (stopped_ || tables.startsWith(home)) return;
    fault("the tables left the test's folder for " + tables);
    stopped_ = true;
}

void Exerciser::fault(const QString& what) {
    if (report_.faults.size() >= kFaultLimit) return;
    ExerciserFault f{lastNumber_, what, QStringList(recent_.begin(), recent_.end())};
    report_.faults << f;
    if (log_.isOpen()) {
        log_.write(("FAULT after #" + QString::number(lastNumber_) + ": " + what + '\n').toUtf8());
        log_.flush();
    }
}

QString ExerciserReport::summary() const {
    QStringList lines;
    lines << QStringLiteral(
                 "inputs %1, ticks %2, trains sent %3 (of the run's: stored %9, not weighed %10, "
                 "port reopened under %12%11), "
                 "changes on purpose %4, message boxes %5, Qt warnings %6, faults %7, alive %8")
                 .arg(inputs)
                 .arg(ticks)
                 .arg(trainsSent)
                 .arg(storedChanges)
                 .arg(messages)
                 .arg(warnings)
                 .arg(faults.size())
                 .arg(alive ? "yes" : "no")
                 .arg(trainsStored)
                 .arg(trainsNotWeighed)
                 .arg(trainsJudged ? QString() : QStringLiteral("; not judged, the scale was changed"))
                 .arg(trainsBroken);
    QStringList reached;
    for (auto it = windows.cbegin(); it != windows.cend(); ++it)
        reached << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    lines << QStringLiteral("link dropped %1 times, lost %2 times, trains stored %3, cut by a lost link %4")
                 .arg(linkDrops)
                 .arg(linkLosses)
                 .arg(trainsStored)
                 .arg(trainsCut);
    lines << "windows: " + reached.join(", ");
    for (const ExerciserFault& f : faults) {
        lines << QStringLiteral("FAULT after input #%1: %2").arg(f.input).arg(f.what);
        for (const QString& input : f.inputs) lines << "    " + input;
    }
    return lines.join('\n');
}

}  // namespace zv::test
