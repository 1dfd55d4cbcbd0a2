#pragma once

class QWidget;
class TMain;
class TSetupW;
class TWPro;
class TSetupP;
class TDBView;
class TShiftS;
class TBPrn;
class TBCopy;
class TPassDlg;
class TAbout;

// The program's windows besides the main one. Each exists once for the whole run; the main
// window owns them (they are its children) and shows the dialogs modally when they are used.
struct AppWindows {
    TSetupW* SetupW = nullptr;
    TWPro* WPro = nullptr;
    TSetupP* SetupP = nullptr;
    TDBView* DBView = nullptr;
    TShiftS* ShiftS = nullptr;
    TBPrn* BPrn = nullptr;
    TBCopy* BCopy = nullptr;
    TPassDlg* PassDlg = nullptr;
    TAbout* About = nullptr;
};

// Creates the nine windows in their fixed order, owned by the main window.
AppWindows createAppWindows(TMain* main);
