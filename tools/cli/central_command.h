#pragma once

#include "settings/settings.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* CentralUsage =
    "zolvelt-tool central init --url URL\n"
    "  Creates the central schema on the server, or upgrades an older one; a newer one is\n"
    "  left as it is. URL: postgresql://user@host:port/database (the password from the\n"
    "  password file, PGPASSFILE or ~/.pgpass).\n"
    "zolvelt-tool central add-scale --url URL --scale NAME [--password-file FILE]\n"
    "  Creates the login of one scale (zolvelt_scale_...), which may write only that scale's\n"
    "  rows, with the password from the first line of FILE or of standard input (12\n"
    "  characters or more), and prints the line for that scale's password file (.pgpass).\n"
    "  Run again, it sets a new password.\n"
    "zolvelt-tool central add-office --url URL --login NAME [--password-file FILE]\n"
    "  Creates a login of the office, which reads everything and writes nothing.\n"
    "zolvelt-tool central status --url URL\n"
    "  Per scale, the last row the server received and when.\n"
    "zolvelt-tool central push --db DIR [--ini FILE] [--retry-rejected]\n"
    "  Sends the outbox of the tables in DIR once, with the server and the scale of the\n"
    "  settings file (default: ZOLVelt.ini in the folder above DIR), and says how many\n"
    "  entries went and how many are left.\n";

// The settings the tool talks to the server with for the tables folder db: those of ini, or
// of ZOLVelt.ini in the folder above db. Throws when they name no scale.
Settings centralSettingsFor(const std::string& db, const std::string& ini);

// args: the words after "central". Throws UsageError for a mistake in the options.
int runCentralCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zv
