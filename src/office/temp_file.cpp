#include "office/temp_file.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace zv::office {

TempFile::TempFile() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zolvelt-office-XXXXXX").string();
    fd = ::mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("cannot make a temporary file");
    path = pattern;
}

TempFile::~TempFile() {
    unlink();
    if (fd >= 0) ::close(fd);
}

void TempFile::unlink() {
    if (!path.empty()) ::unlink(path.c_str());
    path.clear();
}

int TempFile::release() {
    unlink();
    const int out = fd;
    fd = -1;
    return out;
}

}  // namespace zv::office
