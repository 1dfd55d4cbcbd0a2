#include "ui/guarded.h"

#include <QString>
#include <exception>

#include "ui/message_service.h"

namespace zv {

bool guarded(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        Messages::error(QString::fromUtf8(e.what()));
        return false;
    }
}

}  // namespace zv
