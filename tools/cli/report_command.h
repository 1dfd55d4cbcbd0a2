#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* ReportUsage =
    "zolvelt-tool report (book|trains|waybill) --db DIR [--ini FILE] [--book FILE]\n"
    "                    [--filter EXPR] [--row N] (--pdf OUT | --txt OUT | --csv OUT)\n"
    "  Renders a report from the tables in DIR as the program's preview shows it: book,\n"
    "  the weighing book (this month's unless --book names a file in DIR; --filter: a\n"
    "  filter of the weighing book); trains, every train weighed in motion; waybill, the\n"
    "  book row whose N is --row (without it, the first row that passes --filter).\n"
    "  --ini: the settings file (headings and display steps). --pdf, --txt and/or --csv:\n"
    "  the files to write; --csv (book and trains) is every column of the report with\n"
    "  its heading, UTF-8 with a byte-order mark, \";\" between the cells.\n";

// args: the options after the word "report", the report's name first. Throws UsageError for
// a mistake in the options and std::runtime_error for a missing table, a bad filter or a
// file that cannot be read or written.
int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
