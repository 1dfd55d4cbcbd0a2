#pragma once

#include "reports/report_layout.h"

namespace zv {

// QR2, the waybill of the current `Book` row: A4 landscape, a single title band printed once.
// Its label QRLn1 (the enterprise) is set at run time.
ReportLayout makeWaybill();

}  // namespace zv
