#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zv {

inline constexpr const char* SetAccessCodeUsage =
    "zolvelt-tool set-access-code --settings FILE\n"
    "  Changes the access code of the installation whose settings file is FILE (ZOLVelt.ini).\n"
    "  Standard input gives the current code, then the new one twice, one a line; the change\n"
    "  is logged in the event log of the tables folder. A damaged code file may be replaced\n"
    "  without the current code only by someone who holds the records' rights himself.\n";

int runSetAccessCodeCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                            std::ostream& err);

}  // namespace zv
