#include "engine/train_state.h"

namespace zv {

void TrainReset(TrainState& t) {
    t.Direction = 0;
    t.TrainSample = 0;
    for (EdgeDet* d : {&t.EntryDet1, &t.ExitDet1, &t.EntryDet2, &t.ExitDet2}) {
        d->Armed = false;
        d->Count = 0;
    }
    t.NextWagon1 = t.NextWagon2 = false;
    t.WagonIdx1 = t.WagonIdx2 = 0;
    t.WagonAxles1 = t.WagonAxles2 = 0;
    t.LocoCount = 0;
    t.WagonsBefore = 0;
}

}  // namespace zv
