#pragma once

#include <QString>

namespace zv {

// Where the records layer sends its information messages; the main window shows them as
// information boxes with an OK button. Line breaks are "\r\n", as in every message of the program.
class RecordsNotifier {
public:
    virtual ~RecordsNotifier() = default;
    virtual void information(const QString& text) = 0;
};

}  // namespace zv
