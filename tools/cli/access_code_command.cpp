#include "cli/access_code_command.h"

#include "cli/command_options.h"
#include "integrity/access_code.h"
#include "integrity/event_kinds.h"
#include "integrity/event_log.h"
#include "integrity/seal_key.h"
#include "privilege/secure_start.h"
#include "records/clock.h"
#include "records/table_error.h"
#include "replay/tool_settings.h"

#include <QFileInfo>

#include <pwd.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

namespace zv {

namespace {

const QString kSubject = QStringLiteral("zolvelt-tool set-access-code");

// Typed codes are not echoed on a terminal.
class HiddenInput {
public:
    explicit HiddenInput(std::istream& in) : active_(&in == &std::cin && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
        if (!active_) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~HiddenInput() {
        if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;
    bool prompts() const { return active_; }

private:
    termios saved_{};
    bool active_;
};

QString readCode(std::istream& in, std::ostream& err, const HiddenInput& hidden, const char* prompt) {
    if (hidden.prompts()) err << prompt << ": " << std::flush;
    std::string line;
    std::getline(in, line);
    if (hidden.prompts()) err << '\n';
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return QString::fromStdString(line);
}

// Run set-group-ID by someone outside the records group, the kernel marks the run as secure;
// only someone with the records' rights of his own may set a code without the current one.
bool ownRecordsRights() { return !runsWithRaisedPrivileges(); }

QString loginName() {
    const passwd* user = getpwuid(getuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(getuid());
}

// The event log of the settings' tables folder, where the change is logged; without it the
// code is not changed (a change nobody can trace is no change an engineer may make).
void openLog(EventLog& log, const QString& settingsFile, const SealPaths& paths) {
    const QByteArray key = loadSealKey(paths.key);
    if (key.isEmpty()) throw std::runtime_error("cannot read the seal key " + paths.key.toStdString());
    const Settings settings = loadToolSettings({settingsFile.toStdString(), {}, {}}).settings;
    try {
        log.open(QString::fromStdString(settings.Path), key);
    } catch (const TableError& error) {
        throw std::runtime_error(error.message().toStdString());
    }
    log.setOperator(loginName());
}

// Returns the exit status once the outcome is logged and said.
int finish(EventLog& log, AccessCode::Change outcome, const QString& message, const AccessCode& code,
           std::ostream& out, std::ostream& err) {
    switch (outcome) {
        case AccessCode::Change::Done:
            log.append(event_kind::AccessCodeChanged, code.path());
            out << event_kind::AccessCodeChanged.toStdString() << '\n';
            return 0;
        case AccessCode::Change::WrongCode:
            log.append(event_kind::WrongAccessCode, kSubject);
            break;
        case AccessCode::Change::Refused:
            break;
    }
    err << message.toStdString() << '\n';
    return 1;
}

}  // namespace

int runSetAccessCodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                            std::ostream& err) {
    CommandOptions options(args, {"--settings"});
    if (!options.has("--settings")) throw UsageError("give --settings FILE");
    const QString settingsFile = QString::fromStdString(options.text("--settings"));
    if (!QFileInfo(settingsFile).isFile()) throw std::runtime_error("no settings file " + options.text("--settings"));
    const SealPaths paths = sealPathsBeside(settingsFile);
    SystemClock clock;
    EventLog log(clock);
    openLog(log, settingsFile, paths);
    try {
        const AccessCode code(paths.code, log.countOf(event_kind::AccessCodeChanged) > 0);
        const HiddenInput hidden(in);
        QString message;
        if (code.state() != AccessCode::State::Damaged) {
            const QString current = readCode(in, err, hidden, "Текущий код доступа");
            const QString fresh = readCode(in, err, hidden, "Новый код");
            const QString repeated = readCode(in, err, hidden, "Новый код еще раз");
            const AccessCode::Change outcome = code.change(current, fresh, repeated, &message);
            return finish(log, outcome, message, code, out, err);
        }
        err << code.problem().toStdString() << '\n';
        if (!ownRecordsRights()) return 1;
        err << "Код задается заново без прежнего: вы работаете с правами на записи\n";
        const QString fresh = readCode(in, err, hidden, "Новый код");
        const QString repeated = readCode(in, err, hidden, "Новый код еще раз");
        message = code.replace(fresh, repeated);
        return finish(log, message.isEmpty() ? AccessCode::Change::Done : AccessCode::Change::Refused, message, code,
                      out, err);
    } catch (const TableError& error) {
        throw std::runtime_error(error.message().toStdString());
    }
}

}  // namespace zv
