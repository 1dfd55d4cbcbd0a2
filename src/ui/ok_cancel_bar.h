#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QPushButton;

// The bar of the small prompts: "OK" (OKBtn, the default button) and the cancel button
// (CancelBtn, which rejects the window), right-aligned. What OK does is left to the window.
QPushButton* addOkCancelBar(QDialog* window, QBoxLayout* layout, const QString& cancelText);
