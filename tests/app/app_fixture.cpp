// The simulator names parameters "slots", which Qt defines as a macro: it comes first.
#include "simulator/raw_file_sink.h"
#include "simulator/sample_sink.h"
#include "simulator/train_simulator.h"
// clang-format off
#include "app/app_fixture.h"
// clang-format on

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <stdexcept>

#include "admin/shift_s.h"
#include "link/frame_encoder.h"
#include "records/table_templates.h"
#include "support/test_scale.h"
#include "ui/modal.h"

namespace zv::test {

Settings testScale() {
    return scaleSettings(1, 1);
}

namespace {

TrainDescription trainOf(int wagons, int direction) {
    TrainDescription train;
    train.direction = direction;
    // Slow enough for the default settling delay to leave every bogie a weighing window.
    train.speed = {5, 5};
    for (int i = 0; i < wagons; ++i) train.vehicles.push_back(makeWagon(4, 60000));
    return train;
}

}  // namespace

std::vector<std::array<uint16_t, 8>> trainSamples(const Settings& scale, int wagons,
                                                  int direction) {
    SampleList list;
    TrainSimulator(scale, trainOf(wagons, direction)).run(list);
    return list.samples;
}

std::vector<unsigned char> frameBytes(const Settings& scale,
                                      const std::vector<std::array<uint16_t, 8>>& samples,
                                      std::size_t from, std::size_t to) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = from; i < to; ++i) {
        const auto frame = encodeFrame(samples[i], scale.Nadc, scale.Npl, 0, false);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

void writeTrainFile(const Settings& scale, int wagons, const std::string& path) {
    RawFileSink sink(path);
    TrainSimulator(scale, trainOf(wagons, +1)).run(sink);
    sink.close();
}

void standOnTheScale(TMain& main, int platform1, int platform2) {
    std::array<uint16_t, 8> codes{};
    for (int slot : {0, 2}) codes[slot] = static_cast<uint16_t>(1000 + platform1 / 4);
    for (int slot : {4, 6}) codes[slot] = static_cast<uint16_t>(1000 + platform2 / 4);
    for (int tick = 0; tick < 40; ++tick) {
        main.Timer1Timer();
        for (int sample = 0; sample < 6; ++sample) main.feedSample(codes);
    }
}

void chooseOperator(QDialog& shiftWindow, int n, const QString& code) {
    auto& shift = static_cast<TShiftS&>(shiftWindow);
    shift.chooseOperator(n);
    shift.findChild<QLineEdit*>("E1")->setText(code);
    shift.findChild<QPushButton*>("Button1")->click();
}

int trainListColumn(TMain& main, const QString& field) {
    const TableModel& model = main.records().DSouT();
    for (int column = 0; column < model.columnCount(); ++column)
        if (model.fieldAt(column) == field) return column;
    throw std::logic_error("no column " + field.toStdString() + " in the train list");
}

void typeWagonNumber(TMain& main, const QString& number, bool enter) {
    typeWagonNumber(main, 0, number, enter);
}

void typeWagonNumber(TMain& main, int row, const QString& number, bool enter) {
    QTableView* grid = main.controls().DBG1;
    const QModelIndex cell = grid->model()->index(row, trainListColumn(main, "Wagon"));
    if (!cell.isValid()) throw std::logic_error("no row in the train list");
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(cell));
    if (!editor) throw std::logic_error("the wagon number cannot be edited");
    editor->setText(number);
    if (!enter) return;
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &key);
    QApplication::processEvents();  // the grid commits the edit after the key
}

AppFixture::AppFixture() {
    writeSettings(testScale());
    writeTemplates(folder());
}

AppFixture::~AppFixture() = default;

QString AppFixture::folder() const {
    return QString::fromStdString(dir_.path().string()) + "/";
}

void AppFixture::writeSettings(const Settings& settings) {
    SettingsEffects none;
    saveIni(folder().toStdString(), ".ini", settings, CalibrationKeys::Write, none);
}

TMain& AppFixture::create() {
    main_ = std::make_unique<TMain>(folder());
    main_->setWindows(createAppWindows(main_.get()));
    main_->setClock([this] { return clock; });
    return *main_;
}

TMain& AppFixture::restart() {
    stop();
    return start();
}

void AppFixture::stop() {
    main_->close();
    main_.reset();
}

TMain& AppFixture::start() {
    create();
    ModalScript script;
    script.then([](QDialog& d) { chooseOperator(d, 0); });
    main_->Prepare();
    return *main_;
}

TMain& AppFixture::start(const std::function<void(Settings&)>& adjust) {
    Settings settings = testScale();
    adjust(settings);
    writeSettings(settings);
    return start();
}

}  // namespace zv::test
