#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* CheckRecordsUsage =
    "zolvelt-tool check-records --db DIR [--ini FILE] [--key FILE] [--heads FILE] [--central]\n"
    "  Checks the seals of the book, Trains, Wagons and the event log in the tables folder DIR,\n"
    "  and the calibration the settings file gives against its seal, and prints every finding;\n"
    "  exits with 1 when there is one. The settings file is the ZOLVelt.ini of the program folder\n"
    "  above DIR unless given; the key, the list of seals and the calibration seal are taken\n"
    "  beside it unless given. --central also compares the chains with the heads the central\n"
    "  database witnessed, with the server and the scale of the settings file as central push\n"
    "  takes them; a server that cannot be asked ends the check with status 2.\n";

inline constexpr const char* SealRecordsUsage =
    "zolvelt-tool seal-records --db DIR --by NAME [--key FILE] [--heads FILE]\n"
    "  Seals, as they are now, the tables of DIR that carry no seals (an earlier version's, or\n"
    "  ones whose seals were removed), and logs each with NAME and the number of its rows.\n"
    "  Tables that carry seals are left alone.\n";

inline constexpr const char* IdentifyUsage =
    "zolvelt-tool identify [--program FILE] [--db DIR]\n"
    "  Prints the version and the checksum of the program (the zolvelt beside the tool unless\n"
    "  given) and the calibration counter of the event log in DIR (the program's \"DB\").\n";

int runCheckRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runSealRecordsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runIdentifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace zv
