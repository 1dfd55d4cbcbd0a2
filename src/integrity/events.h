#pragma once

#include "integrity/access_code.h"

#include <QString>

namespace zv {

class RecordsIntegrity;

// Where the windows send their events: the log of the running program, installed by the main
// window (see RecordsIntegrity::record); without one (tools, tests of single windows) they are dropped.
class Events {
public:
    static void install(RecordsIntegrity* integrity);
    static RecordsIntegrity* installed();
    static void record(const QString& kind, const QString& subject, const QString& oldValue = {},
                       const QString& newValue = {});
    // An information of the table opening: a table about to be made is an event.
    static void recordRecordsMessage(const QString& text);
    // An error of the tables: a wrong table password is an event.
    static void recordTableError(const QString& text);
    // A book archived into `archiveFolder`: the log goes with it, and the event says so.
    static void bookArchived(const QString& archiveName, const QString& archiveFolder);
    // Around a program save of the settings: before it, a calibration changed by hand is a
    // finding (a save never seals it silently); after it, the calibration saved is sealed.
    // The second gives the error to show when the seal cannot be written.
    static void checkCalibration();
    static QString sealCalibration();
    // The calibration counter of the installed log ("Счетчик калибровок: 7, последняя 10.12.2026");
    // empty without one.
    static QString calibrationCaption();
    // The access code of the installed log's installation; the factory code alone without one.
    static AccessCode accessCode();
};

}  // namespace zv
