#pragma once

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
};

}  // namespace zv
