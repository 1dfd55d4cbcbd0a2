#pragma once

namespace zv {

// Item of the mode box of the processing window; acceptance and release set it before
// opening the window.
enum class ProcessingMode {
    DynamicAcceptance = 0,  // "Прием вагона, взвешенного в движении"
    DynamicRelease = 1,  // "Отпуск вагона, взвешенного в движении"
    StaticAcceptance = 2,  // "Первое взвешивание, статика"
    StaticRelease = 3,     // "Второе взвешивание, статика"
};

inline bool isAcceptance(ProcessingMode mode) {
    return mode == ProcessingMode::DynamicAcceptance || mode == ProcessingMode::StaticAcceptance;
}
inline bool isRelease(ProcessingMode mode) {
    return !isAcceptance(mode);
}
inline bool isStatic(ProcessingMode mode) {
    return mode == ProcessingMode::StaticAcceptance || mode == ProcessingMode::StaticRelease;
}

// Key value of a lookup box with nothing chosen.
inline constexpr int kNothingChosen = -1;

}  // namespace zv
