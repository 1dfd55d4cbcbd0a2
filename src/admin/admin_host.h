#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "settings/settings_file.h"

namespace zv {
class RecordsDatabase;
class SerialLink;
class WeighingEngine;
struct Settings;
}  // namespace zv

// What the settings windows need of the main window: the settings record and the objects
// that work with it for the whole run.
class AdminHost {
public:
    virtual ~AdminHost() = default;

    virtual zv::Settings& settings() = 0;
    // Ends with a separator; the settings file and the default folders are in it.
    virtual const QString& programFolder() const = 0;
    virtual zv::SerialLink& link() = 0;
    // The calibration reads the static channel values; saved parameters recompute the
    // filter coefficients.
    virtual zv::WeighingEngine& engine() = 0;
    virtual zv::RecordsDatabase& records() = 0;

    // One sample through DatFilt and DatPro, exactly as a received frame goes.
    virtual void feedSample(const std::array<uint16_t, 8>& codes) = 0;
    // The options and the number of platforms applied to the other windows: the panels of
    // the main and the wagon processing windows, the recording button, the debug columns
    // of the train list and the report headings.
    virtual void applyOptions() = 0;
    // "Отладочная информация": the main window's debug panel and the wagon processing
    // window's debug button.
    virtual void showDebugInformation(bool shown) = 0;
    // The tables were closed and opened again from another folder: the train list shows
    // the train DBOpen selected.
    virtual void tablesReopened() {}
    // The section "Central" changed: the sender starts, stops or turns to the new server.
    virtual void centralSettingsChanged() {}
    // "Подключить" ticked or cleared by the engineer. Ticked: false when the port cannot be
    // opened now (the link then stays closed and `Connect` cleared). The main window also
    // watches the link from then on; without it the link is merely opened or closed.
    virtual bool connectLink(bool on);
    // The state of the link for the line beside "Подключить"; empty when nobody watches it.
    virtual QString linkState() const { return {}; }
    // Connected, and no frame for a while: the readings are the last ones before the loss.
    virtual bool linkLost() const { return false; }
};

// SaveIni with ".ini": the connection as the link holds it, the calibration keys only when
// asked. A failure is shown to the operator; returns whether the file was written.
bool saveSettings(AdminHost& host, zv::CalibrationKeys calibration);
