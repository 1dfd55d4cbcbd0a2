#include "app/app_windows.h"

#include "admin/b_copy.h"
#include "admin/db_view.h"
#include "admin/pass_dlg.h"
#include "admin/setup_p.h"
#include "admin/setup_w.h"
#include "admin/shift_s.h"
#include "app/about.h"
#include "app/main_window.h"
#include "processing/w_pro.h"
#include "reports/b_prn.h"

AppWindows createAppWindows(TMain* main) {
    AppWindows w;
    w.SetupW = new TSetupW(main);
    w.WPro = new TWPro(main);
    w.SetupP = new TSetupP(main);
    w.DBView = new TDBView(main);
    w.ShiftS = new TShiftS(main);
    w.BPrn = new TBPrn(main->records(), main->reportLayouts(), main);
    w.BCopy = new TBCopy(main);
    w.PassDlg = new TPassDlg(main);
    w.About = new TAbout(main);
    return w;
}
