#pragma once

#include <QString>
#include <array>
#include <memory>
#include <ostream>
#include <vector>

#include "admin/admin_host.h"
#include "engine/weighing_engine.h"
#include "link/serial_link.h"
#include "records/clock.h"
#include "records/records_database.h"
#include "records/records_notifier.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "ui/scripted_messages.h"

// Readable failure messages for the texts the windows show.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace zv::test {

// The main window as the settings windows see it, on a program folder in a temporary
// folder: the table templates, a folder "DB" and the real settings record, serial link,
// engine and tables. Messages are recorded, never shown.
class AdminFixture : public AdminHost, public RecordsNotifier {
public:
    AdminFixture();
    ~AdminFixture() override;

    Settings& settings() override { return settings_; }
    const QString& programFolder() const override { return folder_; }
    SerialLink& link() override { return link_; }
    WeighingEngine& engine() override { return *engine_; }
    RecordsDatabase& records() override { return *records_; }
    void feedSample(const std::array<uint16_t, 8>& codes) override;
    void applyOptions() override { ++optionsApplied; }
    void showDebugInformation(bool shown) override { debugShown = shown; }
    bool linkLost() const override { return lost; }

    // Filters restarted on `codes`, so every static value equals them at once.
    void settle(const std::array<uint16_t, 8>& codes);
    QString iniPath() const;
    // Reads the settings file as the program does at start-up.
    Settings readBack() const;
    // The lines of the settings file that start with one of the calibration keys.
    std::vector<std::string> calibrationLines() const;

    ScriptedMessages messages;
    std::vector<std::array<uint16_t, 8>> fed;
    int optionsApplied = 0;
    bool debugShown = false;
    bool lost = false;  // the converter's link, as the main window would watch it

    void information(const QString& text) override;

private:

    TempDir dir_;
    QString folder_;
    Settings settings_;
    SerialLink link_;
    std::unique_ptr<WeighingEngine> engine_;
    struct FixedClock : Clock {
        QDateTime now() const override;
    } clock_;
    std::unique_ptr<RecordsDatabase> records_;
};

}  // namespace zv::test
