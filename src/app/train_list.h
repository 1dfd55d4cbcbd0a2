#pragma once

#include <functional>

class TLIEdit;

namespace zv {
class RecordsDatabase;
}

// The operations of the train list: choosing the train on display, stepping between trains,
// deleting one train or all of them, and the placeholder row of the wagons on the territory.
// The selected train number is the value of the selector `LIEtr`.
class TrainList {
  public:
    using TrainPassing = std::function<bool()>;
    // The trains report; runs while the table shows every train weighed in motion.
    using Preview = std::function<void()>;

    TrainList(zv::RecordsDatabase& records, TLIEdit& LIEtr, TrainPassing trainPassing);

    void setPreview(Preview preview) { preview_ = std::move(preview); }

    // Raised for the whole of But11Click: the axle detector does not run meanwhile.
    bool deleting() const { return deleting_; }

    void But11Click();
    void SpinBut1UpClick();
    void SpinBut1DownClick();
    void But4Click();
    void N23Click();
    void DelWN();

    // Trains filtered to "Train=" the selected number.
    void showSelected();

  private:
    int selected() const;
    void select(int train);
    void deleteSelected();
    bool confirmDeletion(int n);
    bool removeRows();
    void selectNeighbour(int n);
    // Filter "Train<"/"Train>" n: the train of the last or first row of that set, or 0.
    int neighbour(const char* relation, int n, bool last);

    zv::RecordsDatabase& records_;
    TLIEdit& LIEtr_;
    TrainPassing trainPassing_;
    Preview preview_;
    bool deleting_ = false;
};
