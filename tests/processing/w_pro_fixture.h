#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <vector>

#include "processing/field_edit.h"
#include "processing/w_pro.h"
#include "processing/wagon_acceptance.h"
#include "processing_fixture.h"
#include "ui/modal.h"
#include "w_pro_actions.h"

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

    // Weighs at rest with the display showing `kg`.
    void weigh(QDialog& d, int kg) {
        host.reading.shownWeight = kg;
        click(d, "But8");
    }
};

}  // namespace zv::test
