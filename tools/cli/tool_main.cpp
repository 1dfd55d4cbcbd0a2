#include "cli/tool_main.h"

#include <stdexcept>

#include "cli/check_command.h"
#include "cli/central_command.h"
#include "cli/command_options.h"
#include "cli/records_commands.h"
#include "cli/replay_command.h"
#include "cli/report_command.h"
#include "cli/simulate_command.h"
#include "cli/templates_command.h"
#include "cli/verify_command.h"

namespace zv {

namespace {

constexpr const char* Usage =
    "zolvelt-tool <command> [options]\n"
    "commands: replay, simulate, report, templates, check, verify, central, check-records, identify\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CommandEntry {
    const char* name;
    Command run;
    const char* usage;
};

constexpr CommandEntry Commands[] = {
    {"replay", runReplayCommand, ReplayUsage}, {"simulate", runSimulateCommand, SimulateUsage},
    {"report", runReportCommand, ReportUsage}, {"templates", runTemplatesCommand, TemplatesUsage},
    {"check", runCheckCommand, CheckUsage},    {"verify", runVerifyCommand, VerifyUsage},
    {"central", runCentralCommand, CentralUsage},
    {"check-records", runCheckRecordsCommand, CheckRecordsUsage},
    {"identify", runIdentifyCommand, IdentifyUsage},
};

int fail(std::ostream& err, const std::string& message, const char* usage = nullptr) {
    err << "zolvelt-tool: " << message << '\n';
    if (usage) err << "usage: " << usage;
    return 2;
}

}  // namespace

int runTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return fail(err, "no command given", Usage);
    for (const CommandEntry& command : Commands) {
        if (args[0] != command.name) continue;
        std::vector<std::string> options(args.begin() + 1, args.end());
        try {
            return command.run(options, out, err);
        } catch (const UsageError& e) {
            return fail(err, e.what(), command.usage);
        } catch (const std::exception& e) {
            return fail(err, e.what());
        }
    }
    return fail(err, "unknown command '" + args[0] + "'", Usage);
}

}  // namespace zv
