#pragma once

#include <QStringList>

namespace zv {

class RecordsIntegrity;

// The check at start-up: new and unacknowledged findings are shown in one message.
void checkRecordsAtStartUp(RecordsIntegrity& integrity);
// "Проверить целостность записей": the findings, and their acknowledgement by an engineer
// (who gives the access code); a wrong code is logged and acknowledges nothing.
void checkRecordsOnDemand(RecordsIntegrity& integrity);

}  // namespace zv
