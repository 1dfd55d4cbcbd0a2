#pragma once

#include <string>

#include "link/raw_data_file.h"

// The one raw data file of the program, used either for recording or for replay, never both.
class RawDataSession {
  public:
    enum class Start {
        Started,
        NoName,  // recording: the file name is empty
        NoFile,  // replay: no such file
        Busy,    // the file is in use by the other mode
        Failed,  // the file could not be created or opened: see error()
    };

    Start startRecording(const std::string& folder, const std::string& name);
    // Closes the file; false (with error()) when its last bytes could not be written.
    bool stopRecording();
    // Appends one sample; on failure the recording is stopped and error() tells why.
    bool record(const zv::RawRecord& record);

    Start startReplay(const std::string& folder, const std::string& name);
    void stopReplay();
    // The next record of the file; false at its end or on a read error (error() then set).
    bool next(zv::RawRecord& record);

    bool Recording() const { return writer_.isOpen(); }
    bool Replaying() const { return reader_.isOpen(); }
    const std::string& error() const { return error_; }

    int ReplayCnt = 0;
    bool StepReq = false;

  private:
    zv::RawDataWriter writer_;
    zv::RawDataReader reader_;
    std::string error_;
};
