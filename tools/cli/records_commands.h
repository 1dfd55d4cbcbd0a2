#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* CheckRecordsUsage =
    "zolvelt-tool check-records --db DIR [--key FILE] [--heads FILE] [--central [--ini FILE]]\n"
    "  Checks the seals of the book, Trains, Wagons and the event log in the tables folder DIR\n"
    "  and prints every finding; exits with 1 when there is one. The key and the list of seals\n"
    "  are taken beside the settings file of the program folder above DIR unless given.\n"
    "  --central also compares the chains with the heads the central database witnessed, with\n"
    "  the server and the scale of the settings file as central push takes them; a server that\n"
    "  cannot be asked ends the check with status 2.\n";

inline constexpr const char* IdentifyUsage =
    "zolvelt-tool identify [--program FILE] [--db DIR]\n"
    "  Prints the version and the checksum of the program (the zolvelt beside the tool unless\n"
    "  given) and the calibration counter of the event log in DIR (the program's \"DB\").\n";

int runCheckRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runIdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
