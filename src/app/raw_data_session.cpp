#include "app/raw_data_session.h"

#include <filesystem>

RawDataSession::Start RawDataSession::startRecording(const std::string& folder,
                                                     const std::string& name) {
    error_.clear();
    if (Replaying()) return Start::Busy;
    if (name.empty()) return Start::NoName;
    if (!writer_.open(folder + name)) {
        error_ = writer_.error();
        return Start::Failed;
    }
    return Start::Started;
}

bool RawDataSession::stopRecording() {
    if (writer_.close()) return true;
    error_ = writer_.error();
    return false;
}

bool RawDataSession::record(const zv::RawRecord& record) {
    if (writer_.append(record)) return true;
    error_ = writer_.error();
    writer_.close();
    return false;
}

RawDataSession::Start RawDataSession::startReplay(const std::string& folder,
                                                  const std::string& name) {
    error_.clear();
    if (Recording()) return Start::Busy;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(folder + name, ec)) return Start::NoFile;
    if (!reader_.open(folder + name)) {
        error_ = reader_.error();
        return Start::Failed;
    }
    ReplayCnt = 0;
    StepReq = false;
    return Start::Started;
}

void RawDataSession::stopReplay() {
    reader_.close();
}

bool RawDataSession::next(zv::RawRecord& record) {
    if (reader_.next(record)) return true;
    error_ = reader_.error();
    return false;
}
