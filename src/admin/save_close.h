#pragma once

class QBoxLayout;
class QDialog;
class QPushButton;

// What the two settings windows share below their pages: "Сохранить" (But1) and
// "Закрыть" (But2), and the question before changes are dropped.
struct SaveCloseButtons {
    QPushButton* save = nullptr;
    QPushButton* close = nullptr;
};

// Adds the bar of both buttons, right-aligned, to the window's layout; "Закрыть" rejects
// the window, what "Сохранить" does is left to the window.
SaveCloseButtons addSaveCloseButtons(QDialog* window, QBoxLayout* layout);

// Whether the window may close. The close button takes the focus first: leaving the edit
// being typed in checks it and may mark the window changed, so `unsaved` is read after.
bool mayCloseUnsaved(QPushButton* close, const bool& unsaved);
