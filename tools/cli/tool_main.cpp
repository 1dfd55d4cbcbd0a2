#include "cli/tool_main.h"

#include <iostream>
#include <stdexcept>

#include "cli/access_code_command.h"
#include "cli/check_command.h"
#include "cli/central_command.h"
#include "cli/command_options.h"
#include "cli/records_commands.h"
#include "cli/replay_command.h"
#include "cli/report_command.h"
#include "cli/simulate_command.h"
#include "cli/templates_command.h"
#include "cli/verify_command.h"
#include "privilege/operator_rights.h"

namespace zv {

namespace {

constexpr const char* Usage =
    "zolvelt-tool <command> [options]\n"
    "commands: replay, simulate, report, templates, check, verify, central, check-records, seal-records,\n"
    "  identify, set-access-code\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);
using InputCommand = int (*)(const std::vector<std::string>&, std::istream&, std::ostream&, std::ostream&);

// The rights a command runs with; the tool is installed set-group-ID to the records group.
enum class Rights {
    RecordsGroup,  // keeps the group to read the records; the files it writes are opened
                   // with the caller's own rights
    CallersOwn,    // the group is given up before it runs: whatever it reads or writes it does
                   // as its caller could (an engineer in the group or root reaches the records,
                   // an operator does not)
};

struct CommandEntry {
    const char* name;
    Command run;
    const char* usage;
    Rights rights;
    InputCommand runWithInput = nullptr;
};

constexpr CommandEntry Commands[] = {
    {"replay", runReplayCommand, ReplayUsage, Rights::CallersOwn},
    {"simulate", runSimulateCommand, SimulateUsage, Rights::CallersOwn},
    {"report", runReportCommand, ReportUsage, Rights::RecordsGroup},
    {"templates", runTemplatesCommand, TemplatesUsage, Rights::CallersOwn},
    {"check", runCheckCommand, CheckUsage, Rights::CallersOwn},
    {"verify", runVerifyCommand, VerifyUsage, Rights::CallersOwn},
    {"central", nullptr, CentralUsage, Rights::RecordsGroup, runCentralCommand},
    {"check-records", runCheckRecordsCommand, CheckRecordsUsage, Rights::RecordsGroup},
    {"seal-records", runSealRecordsCommand, SealRecordsUsage, Rights::CallersOwn},
    {"identify", runIdentifyCommand, IdentifyUsage, Rights::RecordsGroup},
    {"set-access-code", nullptr, SetAccessCodeUsage, Rights::RecordsGroup, runSetAccessCodeCommand},
};

int fail(std::ostream& err, const std::string& message, const char* usage = nullptr) {
    err << "zolvelt-tool: " << message << '\n';
    if (usage) err << "usage: " << usage;
    return 2;
}

bool asksForHelp(const std::string& word) { return word == "--help" || word == "-h" || word == "help"; }

const CommandEntry* findCommand(const std::string& name) {
    for (const CommandEntry& command : Commands)
        if (name == command.name) return &command;
    return nullptr;
}

int printUsage(std::ostream& out, const CommandEntry* only) {
    if (only) {
        out << "usage: " << only->usage;
        return 0;
    }
    out << "usage: " << Usage;
    for (const CommandEntry& command : Commands) out << '\n' << command.usage;
    return 0;
}

// "help", "--help" or "-h" alone or before a command, or a command followed by its "--help"
// or "-h" only; the usage then goes to the standard output, and the run succeeds.
int help(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1) return printUsage(out, nullptr);
    const CommandEntry* command = findCommand(asksForHelp(args[0]) ? args[1] : args[0]);
    if (!command) return fail(err, "unknown command '" + (asksForHelp(args[0]) ? args[1] : args[0]) + "'", Usage);
    return printUsage(out, command);
}

bool isHelpRequest(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return false;
    if (asksForHelp(args[0])) return true;
    return args.size() == 2 && findCommand(args[0]) && (args[1] == "--help" || args[1] == "-h");
}

}  // namespace

int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return runTool(args, std::cin, out, err);
}

int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty()) return fail(err, "no command given", Usage);
    if (isHelpRequest(args)) return help(args, out, err);
    const CommandEntry* command = findCommand(args[0]);
    if (!command) return fail(err, "unknown command '" + args[0] + "'", Usage);
    std::vector<std::string> options(args.begin() + 1, args.end());
    if (command->rights == Rights::CallersOwn && !keepOnlyOperatorRights())
        return fail(err, "cannot give up the records group");
    try {
        return command->run ? command->run(options, out, err) : command->runWithInput(options, in, out, err);
    } catch (const UsageError& e) {
        return fail(err, e.what(), command->usage);
    } catch (const std::exception& e) {
        return fail(err, e.what());
    }
}

}  // namespace zv
