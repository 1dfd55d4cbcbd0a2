#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "processing/field_edit.h"
#include "processing/lookup_box.h"
#include "processing/w_pro.h"
#include "processing/wagon_acceptance.h"
#include "processing_fixture.h"
#include "ui/modal.h"

namespace zv::test {

// The main window as the processing window sees it.
class TestHost : public WProHost {
  public:
    explicit TestHost(ProcessingFixture& f) : f_(f) {}
    RecordsDatabase& records() override { return *f_.records; }
    const Settings& settings() const override { return f_.settings; }
    int currentOperator() const override { return operatorNumber; }
    StaticReading staticReading() const override { return reading; }
    void detachTrainList() override { ++detached; }
    void restoreTrainList() override { ++restored; }
    void openDictionary(int item) override { dictionaries.push_back(item); }

    StaticReading reading;
    int operatorNumber = 2;
    int detached = 0;
    int restored = 0;
    std::vector<int> dictionaries;

  private:
    ProcessingFixture& f_;
};

// The processing window over real tables, driven through acceptance and release.
struct WProFixture : ProcessingFixture {
    TestHost host{*this};
    TWPro window;
    WagonAcceptance acceptance{*records, window, [this] { return host.operatorNumber; }};

    WProFixture() {
        window.setHost(&host);
        for (auto [n, load] : {std::pair{5, "Уголь"}, std::pair{7, "Щебень"}})
            records->Loads().insertValues({{"N", n}, {"Load", QString::fromUtf8(load)}});
    }

    template <typename W>
    static W* find(QDialog& d, const char* name) {
        W* w = d.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void click(QDialog& d, const char* name) { find<QPushButton>(d, name)->click(); }
    // Picks the item with this key as the operator would.
    static void choose(QDialog& d, const char* box, const QVariant& key) {
        auto* b = find<LookupBox>(d, box);
        const int index = b->findData(key);
        ASSERT_GE(index, 0) << box;
        b->setCurrentIndex(index);
        emit b->activated(index);
    }
    static void type(QDialog& d, const char* edit, const QString& text) {
        auto* e = find<QLineEdit>(d, edit);
        e->setText(text);
        emit e->textEdited(text);
    }
    // Weighs at rest with the display showing `kg`.
    void weigh(QDialog& d, int kg) {
        host.reading.shownWeight = kg;
        click(d, "But8");
    }
    // Load, station, client and document of a loaded wagon.
    static void describeLoad(QDialog& d, const char* loadBox, int load) {
        choose(d, loadBox, load);
        choose(d, "LCBoxS", 1);
        choose(d, "LCBoxC", 1);
        find<QLineEdit>(d, "E3")->setText("D-123");
    }
};

}  // namespace zv::test
