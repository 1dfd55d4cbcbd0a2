#pragma once

#include <string>

namespace zv::office {

// A file of the temporary folder already unlinked: it goes when its descriptor closes, so an
// export left half-written by a failure leaves nothing behind.
struct TempFile {
    int fd = -1;
    std::string path;  // valid until unlinked

    TempFile();
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    void unlink();
    // Hands the descriptor over (to the HTTP response); -1 afterwards here.
    int release();
};

}  // namespace zv::office
