#pragma once

#include <QString>

class QWidget;
struct AppWindows;

// Help page opened from the menu item "Вызов справки".
inline const QString kDefaultHelpTopic = "index.htm";
// The page on the event log and the records check, with a menu item of its own.
inline const QString kRecordsHelpTopic = "Records.htm";

// Page of the help for F1 pressed in `window`. Windows without a topic of their own
// (and any unknown window) get the main window's page.
QString helpTopicFor(const QWidget* window, const AppWindows& windows);
