#pragma once

#include <array>
#include <cstdint>

#include "settings/settings.h"

// The range-checked edits of the scale settings window that hold one scale parameter each,
// with the ranges the window admits.
struct ScaleParameterEdit {
    enum class Group { Limits, Divisions, Filter, Platforms, LoadCells, Calibration };
    const char* name;
    int32_t zv::Settings::*key;
    const char* caption;
    int32_t min;
    int32_t max;
    Group group;
};

inline constexpr std::array<ScaleParameterEdit, 28> kScaleParameterEdits = {{
    {"LIE21", &zv::Settings::Wmax, "Наибольший предел взвешивания, кг", 10000, 200000,
     ScaleParameterEdit::Group::Limits},
    {"LIE22", &zv::Settings::Wmin, "Наименьший предел взвешивания, кг", 20, 10000,
     ScaleParameterEdit::Group::Limits},
    {"LIE25", &zv::Settings::Zpwr, "Диапазон обнуления при включении, кг", 20, 2000,
     ScaleParameterEdit::Group::Limits},
    {"LIE26", &zv::Settings::Zman, "Диап. принудительного обнуления, кг", 20, 2000,
     ScaleParameterEdit::Group::Limits},
    {"LIE27", &zv::Settings::Zaut, "Диап. автоматического обнуления, кг", 20, 500,
     ScaleParameterEdit::Group::Limits},
    {"LIE28", &zv::Settings::Zst, "Диапазон стабильности показаний, кг", 5, 500,
     ScaleParameterEdit::Group::Limits},
    {"LIE23", &zv::Settings::Dis, "Масса, статика, кг", 5, 500,
     ScaleParameterEdit::Group::Divisions},
    {"LIE24", &zv::Settings::Did, "Масса, динамика, кг", 10, 500,
     ScaleParameterEdit::Group::Divisions},
    {"LIE29", &zv::Settings::Didl, "Смещ. ц.т. прод., мм", 1, 100,
     ScaleParameterEdit::Group::Divisions},
    {"LIE29a", &zv::Settings::Dids, "Смещ. ц.т. попер., мм", 1, 100,
     ScaleParameterEdit::Group::Divisions},
    {"LIE210", &zv::Settings::Fadc, "Частота преобразования, Гц", 10, 200,
     ScaleParameterEdit::Group::Filter},
    {"LIE211", &zv::Settings::Fflt, "Частота среза фильтра, Гц", 1, 50,
     ScaleParameterEdit::Group::Filter},
    {"LIE211_", &zv::Settings::Fflt_, "", 1, 50, ScaleParameterEdit::Group::Filter},
    {"LIE212", &zv::Settings::tflt, "Задержка на уст. фильтра, периодов", 1, 100,
     ScaleParameterEdit::Group::Filter},
    {"LIE213", &zv::Settings::Axtr1, "Порог обнаружения осей", 50, 4000,
     ScaleParameterEdit::Group::Filter},
    {"LIE214", &zv::Settings::Lp1, "Длина платформы 1, мм", 800, 25000,
     ScaleParameterEdit::Group::Platforms},
    {"LIE215", &zv::Settings::Lp2, "Длина платформы 2, мм", 800, 25000,
     ScaleParameterEdit::Group::Platforms},
    {"LIE216", &zv::Settings::Lp3, "Длина промежуточного элемента, мм", 200, 10000,
     ScaleParameterEdit::Group::Platforms},
    {"LIE217", &zv::Settings::b1, "b1", 1000, 2000, ScaleParameterEdit::Group::LoadCells},
    {"LIE218", &zv::Settings::b2, "b2", 1000, 2000, ScaleParameterEdit::Group::LoadCells},
    {"LIE219", &zv::Settings::L1, "L1", 800, 12000, ScaleParameterEdit::Group::LoadCells},
    {"LIE220", &zv::Settings::L2, "L2", 800, 12000, ScaleParameterEdit::Group::LoadCells},
    {"LIE221", &zv::Settings::L12, "L12", 200, 10000, ScaleParameterEdit::Group::LoadCells},
    {"LIE222", &zv::Settings::s1, "s11", -100, 100, ScaleParameterEdit::Group::LoadCells},
    {"LIE223", &zv::Settings::s2, "s12", -100, 100, ScaleParameterEdit::Group::LoadCells},
    {"LIE224", &zv::Settings::s3, "s21", -100, 100, ScaleParameterEdit::Group::LoadCells},
    {"LIE225", &zv::Settings::s4, "s22", -100, 100, ScaleParameterEdit::Group::LoadCells},
    {"LIEkd", &zv::Settings::kd, "kd", 900000, 1100000, ScaleParameterEdit::Group::Calibration},
}};
