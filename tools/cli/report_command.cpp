#include "cli/report_command.h"

#include <QtGlobal>
#include <limits>

#include "cli/command_options.h"
#include "replay/tool_settings.h"
#include "reports/report_tool.h"

namespace zv {

namespace {

QString qtext(const CommandOptions& options, std::string_view name) {
    return QString::fromStdString(options.text(name));
}

// Options that make sense only for some reports are refused for the others, so that a
// mistyped report name cannot silently drop a filter.
void checkApplies(const CommandOptions& options, ReportRequest::Kind kind) {
    if (kind == ReportRequest::Kind::Trains)
        for (const char* name : {"--book", "--filter"})
            if (options.has(name))
                throw UsageError(std::string("option ") + name + " is for book and waybill");
    if (kind != ReportRequest::Kind::Waybill && options.has("--row"))
        throw UsageError("option --row is for waybill");
    if (kind == ReportRequest::Kind::Waybill && options.has("--csv"))
        throw UsageError("option --csv is for book and trains");
}

ReportRequest requestFrom(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("name the report: book, trains or waybill");
    const auto kind = reportKind(QString::fromStdString(args[0]));
    if (!kind) throw UsageError("unknown report '" + args[0] + "'");
    CommandOptions options(std::vector<std::string>(args.begin() + 1, args.end()),
                           {"--db", "--ini", "--book", "--filter", "--row", "--pdf", "--txt", "--csv"});
    if (!options.has("--db")) throw UsageError("give --db DIR");
    if (!options.has("--pdf") && !options.has("--txt") && !options.has("--csv"))
        throw UsageError("give --pdf OUT, --txt OUT or --csv OUT");
    checkApplies(options, *kind);

    ReportRequest request;
    request.kind = *kind;
    request.folder = qtext(options, "--db");
    request.settings = loadToolSettings({options.text("--ini"), {}, {}}).settings;
    request.bookFile = qtext(options, "--book");
    request.filter = qtext(options, "--filter");
    if (options.has("--row"))
        request.row = options.integer("--row", 1, std::numeric_limits<int32_t>::max());
    request.pdfPath = qtext(options, "--pdf");
    request.txtPath = qtext(options, "--txt");
    request.csvPath = qtext(options, "--csv");
    return request;
}

}  // namespace

int runReportCommand(const std::vector<std::string>& args, std::ostream& /*out*/,
                     std::ostream& /*err*/) {
    ReportRequest request = requestFrom(args);
    // Fonts need a GUI application, but the files need no screen: a service engineer runs
    // the tool over SSH as often as at the scale's computer.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    runReport(request);
    return 0;
}

}  // namespace zv
