#pragma once

#include <QString>

class QWidget;
struct AppWindows;

// Help page opened from the menu item "Вызов справки".
inline const QString kDefaultHelpTopic = "index.htm";

// Page of the help for F1 pressed in `window`. Windows without a topic of their own
// (and any unknown window) get the main window's page.
QString helpTopicFor(const QWidget* window, const AppWindows& windows);
