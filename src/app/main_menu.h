#pragma once

#include <array>

class QAction;
class QMainWindow;

// The items of the main menu that run commands.
struct MainMenu {
    QAction* StaticWeighing = nullptr;
    QAction* Shift = nullptr;
    QAction* Exit = nullptr;
    QAction* Location = nullptr;
    std::array<QAction*, 7> View{};  // position in the submenu = table selector item
    QAction* BookReport = nullptr;
    QAction* N23 = nullptr;            // report of the trains weighed in motion
    QAction* EventLog = nullptr;
    QAction* CheckRecords = nullptr;
    QAction* SealRecords = nullptr;
    QAction* AccessCode = nullptr;  // the engineer changes the installation's access code
    QAction* WagonSearch = nullptr;
    std::array<QAction*, 3> Scales{};  // position = page of the scale settings window
    QAction* Program = nullptr;
    QAction* HelpContents = nullptr;
    QAction* RecordsHelp = nullptr;  // the page on the event log and the records check
    QAction* About = nullptr;
};

// Builds the menu bar of the main window.
MainMenu buildMainMenu(QMainWindow* window);
