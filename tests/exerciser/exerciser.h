#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "exerciser/crash_trail.h"
#include "exerciser/fault_warnings.h"
#include "exerciser/operator_hands.h"
#include "exerciser/stored_tables.h"
#include "exerciser/train_feed.h"
#include "exerciser/viewer_edits.h"

namespace zv::test {

struct ExerciserOptions {
    uint64_t seed = 1;
    long inputs = 1000;     // the run ends after this many inputs...
    double seconds = 0;     // ...or after this long, when set
    int inputsPerTick = 2;  // a tick of the line after every so many inputs
    QString logPath;        // every input, one a line, as it goes out; none when empty
    // Controls the hands also stay off, as "window/objectName".
    QStringList keepAway;
};

// One fault: the input after which it showed, what showed, and the inputs before it.
struct ExerciserFault {
    long input = 0;
    QString what;
    QStringList inputs;  // the last inputs up to this one
};

struct ExerciserReport {
    long inputs = 0;
    long ticks = 0;
    long trainsSent = 0;
    long trainsStored = 0;      // trains the event log says were stored during the run
    long trainsNotWeighed = 0;  // passages it says were lost with the gate closed (trains sent
                                // before the run are not in these two)
    bool trainsJudged = true;   // false when the scale's settings were saved in the run
    long trainsBroken = 0;      // sent while the port was reopened under them: not judged
    long linkDrops = 0;         // the line dropped by the feed
    long linkLosses = 0;        // "Связь потеряна" events
    long trainsCut = 0;         // "Состав прерван потерей связи" events
    long storedChanges = 0;       // inputs after which a judged table changed on purpose
    int warnings = 0;             // every warning Qt logged
    int messages = 0;             // message boxes the program showed
    QMap<QString, long> windows;  // inputs sent to each window
    QList<ExerciserFault> faults;
    bool alive = false;  // the main window still open and working at the end

    QString summary() const;
};

// The operator exerciser: random input to whatever window is active while trains cross the
// scale, every question answered No and every file or print dialog cancelled. After every
// input the book, Wagons and the dictionaries are read from their files and compared with
// what they held before it; a change is a fault unless the input made it on purpose:
//  - the table viewer stores a table only after the operator typed into its grid or pressed
//    "+" there (Escape in the cell editor and "✗" take that back);
//  - the processing window may write Wagons from its opening (the placeholder of a static
//    acceptance) to its closing, and the book when it closes by "Готово"; closed any other
//    way, it leaves both exactly as they were before it opened;
//  - nothing else stores them: not the main window, the ticks, the reports or the settings.
// Faults are also: a fault warning of Qt, an exception out of an input, a message box coming
// back on every tick, a failed integrity check at the end, the main window gone.
class Exerciser : public QObject {
  public:
    Exerciser(AppFixture& app, TrainFeed& feed, ExerciserOptions options);
    ~Exerciser() override;

    ExerciserReport run();

  private:
    struct Session {  // the processing window, open
        long opener = 0;
        TablesDump before;
        long closer = -1;
        bool accepted = false;
    };

    void step();
    bool finished() const;
    void unwind();
    QWidget* targetWindow();
    std::optional<Input> dialogInput(QWidget* window);
    void send(Input input);
    void logInput(const Input& input);
    void logLine(const QString& line);
    void logMessages();
    void compare();
    QSet<QString> onPurpose() const;
    void watchProcessing();
    void endProcessing(long input);
    void watchMessages(std::size_t shownBefore);
    void checkSandbox();
    void checkLostLinkShown();
    struct TrainCount {
        long sent, broken, stored, notWeighed, scaleChanges;
    };
    void countTrains(const TrainCount& before);
    void fault(const QString& what);
    QStringList judgedFiles() const;
    QString viewerTable() const;
    QString dbFolder() const;

    AppFixture& app_;
    TrainFeed& feed_;
    ExerciserOptions options_;
    OperatorHands hands_;
    FaultWarnings warnings_;
    CrashTrail trail_;
    ViewerEdits viewer_;
    ExerciserReport report_;
    QEventLoop loop_;
    QElapsedTimer clock_;
    QFile log_;
    std::deque<QString> recent_;
    Input last_;
    long lastNumber_ = 0;
    TablesDump dump_;
    std::optional<Session> processing_;
    bool done_ = false;
    bool stopped_ = false;  // a fault the run cannot go on after
    std::size_t messagesLogged_ = 0;
    QString repeating_;
    int repeats_ = 0;
    QSet<QString> repeatingReported_;
    int sinceTick_ = 0;
    std::vector<const QWidget*> sending_;  // the modal window under each input being sent
    int unwound_ = 0;
    long linkLossesBefore_ = 0;
};

}  // namespace zv::test
