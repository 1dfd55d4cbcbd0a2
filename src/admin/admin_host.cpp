#include "admin/admin_host.h"

#include "integrity/events.h"
#include "integrity/settings_changes.h"
#include "link/serial_link.h"
#include "settings/settings.h"
#include "ui/message_service.h"

namespace {

class SaveErrorBox : public zv::SettingsEffects {
public:
    void showSaveError(const std::string& text) override {
        zv::Messages::error(QString::fromStdString(text));
    }
};

}  // namespace

bool AdminHost::connectLink(bool on) {
    zv::SerialLink& link = this->link();
    const bool opened = on && link.open();
    if (!opened) link.close();
    settings().Connect = opened;
    return opened || !on;
}

bool saveSettings(AdminHost& host, zv::CalibrationKeys calibration) {
    zv::Settings& s = host.settings();
    // The port selectors act on the link at once; the file gets what the link now uses.
    s.Port = host.link().portName().toStdString();
    s.BaudRate = host.link().baudRate().toStdString();
    s.Parity = host.link().parity().toStdString();
    SaveErrorBox effects;
    zv::Events::checkCalibration();
    const zv::SettingsChanges changes(QString::fromStdString(zv::settingsFilePath(host.programFolder().toStdString(), ".ini")));
    const bool saved = zv::saveIni(host.programFolder().toStdString(), ".ini", s, calibration, effects);
    if (!saved) return false;
    changes.record(s, calibration == zv::CalibrationKeys::Write);
    if (const QString error = zv::Events::sealCalibration(); !error.isEmpty()) zv::Messages::error(error);
    return true;
}
