#include "engine/train_completion.h"

#include <algorithm>

#include "engine/diagnostic_text.h"
#include "engine/rounding.h"
#include "engine/wagon_completion.h"

namespace zv {

namespace {

// Range of the small integer fields of a stored row.
constexpr int32_t kFieldMin = -100;
constexpr int32_t kFieldMax = 32767;

int32_t clampField(int32_t v) {
    return std::clamp(v, kFieldMin, kFieldMax);
}

int32_t storedWagons(const TrainState& t) {
    return std::clamp(t.WagonIdx2, 0, kMaxWagons);
}

}  // namespace

void markTailLocomotives(TrainState& t, EngineObserver& observer) {
    if (t.LocoCount != 0) return;
    if (observer.diagnosticsWanted())
        observer.diagnosticText(DiagLabel::La6,
                                DiagText().num(t.WagonIdx2).text("_").num(t.LocoCount).view());
    const int32_t last = storedWagons(t) - 1;
    for (int32_t i = last; i >= std::max(0, last - 1); --i) {
        ResultRec& r = t.WagonResult[i];
        if (!looksLikeLocomotive(r, t.WagonWeights[i].WtFinal)) continue;
        r.Note = kNoteLocomotive;
        t.LocoCount += 1;
    }
}

StoredTrain StoreTrainRows(const TrainState& t, const Settings& s, int32_t count) {
    StoredTrain train;
    count = std::clamp(count, 0, kWagonSlots);
    train.rows.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const WeightRec& w = t.WagonWeights[i];
        const ResultRec& r = t.WagonResult[i];
        StoredWagonRow row;
        row.Time = t.WagonTime[i];
        row.Weight = roundToStep(w.WtFinal, s.Did);
        row.WtFinal = w.WtFinal;
        row.Wei1 = w.Wt12;
        row.Wei2 = w.Wt2;
        row.Wei3 = w.Wt1;
        row.Direc = t.Direction == 1 ? 0 : 1;
        row.Note = r.Note;
        row.Axle = clampField(r.Axles);
        row.Speed = clampField(r.Speed10);
        row.BaseW = clampField(r.WagonBase);
        row.BaseB = clampField(r.BogieBase);
        row.WeiL = t.BogieDiff[i].DiffFinal;
        train.rows.push_back(row);
    }
    return train;
}

StoredTrain TrainEnd(TrainState& t, const Settings& s, EngineObserver& observer) {
    StoredTrain train;
    if (t.Direction != 0 && t.WagonIdx2 >= 1) {
        markTailLocomotives(t, observer);
        train = StoreTrainRows(t, s, storedWagons(t));
    }
    t.Direction = 0;
    TrainReset(t);
    return train;
}

}  // namespace zv
