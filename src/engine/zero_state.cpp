#include "engine/zero_state.h"

#include <algorithm>

#include "engine/conditioning.h"

namespace zv {

namespace {

std::string kg(int64_t value) {
    return std::to_string(value) + " кг";
}

}  // namespace

bool zeroOverdue(const ZeroState& zero, int32_t Fadc) {
    if (zero.taken) return false;
    return int64_t{zero.readings} * kReadingPeriod >=
           int64_t{kZeroWaitSeconds} * std::max(Fadc, 1);
}

std::string zeroFailureText(const ZeroState& zero) {
    std::string text = "Ноль не установлен";
    switch (zero.failure) {
        case ZeroFailure::None:
            break;
        case ZeroFailure::Unsettled:
            if (zero.leastSpread == ZeroState::kNoSpread) break;
            text += ": показания весов не успокаиваются, разброс не меньше " +
                    kg(zero.leastSpread) + " при Zst = " + kg(zero.stabilityRange) +
                    " (шум на платформе больше допустимого)";
            break;
        case ZeroFailure::OutOfRange:
            text += ": на весах " + kg(zero.refusedLoad) +
                    (zero.refusedByButton ? ", ноль кнопкой →0← устанавливается до Zman = "
                                          : ", ноль при включении устанавливается до Zpwr = ") +
                    kg(zero.refusedLimit);
            break;
    }
    return text;
}

}  // namespace zv
