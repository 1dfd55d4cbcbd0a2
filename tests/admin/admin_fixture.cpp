#include "admin/admin_fixture.h"

#include <QDir>
#include <fstream>

#include "records/table_templates.h"
#include "settings/settings_file.h"
#include "ui/message_service.h"

namespace zv::test {

AdminFixture::AdminFixture() : folder_(QString::fromStdString(dir_.path().string()) + "/") {
    writeTemplates(folder_);
    settings_.Path = defaultTablesFolder(folder_.toStdString());
    settings_.PathA = defaultArchiveFolder(folder_.toStdString());
    QDir(folder_).mkdir("DB");
    QDir(folder_).mkdir("ZOL_arch");
    engine_ = std::make_unique<WeighingEngine>(settings_);
    records_ = std::make_unique<RecordsDatabase>(settings_, folder_, clock_, *this);
}

AdminFixture::~AdminFixture() = default;

QDateTime AdminFixture::FixedClock::now() const {
    return QDateTime(QDate(2024, 3, 15), QTime(10, 0));
}

void AdminFixture::information(const QString& text) { Messages::information(text); }

void AdminFixture::feedSample(const std::array<uint16_t, 8>& codes) {
    fed.push_back(codes);
    engine_->feed(codes, 0);
}

void AdminFixture::settle(const std::array<uint16_t, 8>& codes) {
    engine_->FltRestart() = 1;
    engine_->feed(codes, 0);
}

QString AdminFixture::iniPath() const {
    return QString::fromStdString(settingsFilePath(folder_.toStdString(), ".ini"));
}

Settings AdminFixture::readBack() const {
    Settings s;
    SettingsEffects quiet;
    readIni(folder_.toStdString(), ".ini", s, quiet);
    return s;
}

std::vector<std::string> AdminFixture::calibrationLines() const {
    std::vector<std::string> lines;
    std::ifstream in(iniPath().toStdString());
    for (std::string line; std::getline(in, line);) {
        const bool calibration = (line.rfind("a0", 0) == 0 || line.rfind("ak", 0) == 0 ||
                                  line.rfind("a1k", 0) == 0);
        if (calibration) lines.push_back(line);
    }
    return lines;
}

}  // namespace zv::test
