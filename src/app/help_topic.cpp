#include "app/help_topic.h"

#include "admin/b_copy.h"
#include "admin/db_view.h"
#include "admin/setup_p.h"
#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/about.h"
#include "app/app_windows.h"
#include "integrity_ui/access_code_window.h"
#include "integrity_ui/event_log_window.h"
#include "processing/w_pro.h"
#include "reports/b_prn.h"

QString helpTopicFor(const QWidget* window, const AppWindows& w) {
    const auto is = [window](const QWidget* candidate) {
        return candidate != nullptr && window == candidate;
    };
    if (is(w.WPro)) return "Processing.htm";
    if (is(w.DBView)) return "View.htm";
    if (is(w.ShiftS)) return "Shift.htm";
    if (is(w.BPrn)) return "Reports.htm";
    if (is(w.BCopy)) return "Base.htm";
    if (is(w.SetupP))
        return w.SetupP->currentPage() == TSetupP::Databases ? "Base.htm" : "Parameters.htm";
    if (is(w.SetupW))
        return w.SetupW->currentPage() == TSetupW::Calibration ? "Calibration.htm" : "Tuning.htm";
    if (is(w.About)) return "Help.htm";
    if (qobject_cast<const zv::TEventLog*>(window) || qobject_cast<const zv::TAccessCodeW*>(window))
        return kRecordsHelpTopic;
    return "Main.htm";
}
