#pragma once

#include "settings/settings.h"

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* CentralUsage =
    "zolvelt-tool central init --url URL\n"
    "  Creates the central schema on the server, or upgrades an older one; a newer one is\n"
    "  left as it is. URL: postgresql://user@host:port/database (the password from the\n"
    "  password file, PGPASSFILE or ~/.pgpass).\n"
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
int runCentralCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
