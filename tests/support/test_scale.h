#pragma once

#include "settings/settings.h"

namespace zv::test {

// A scale of npl + 1 platforms with nadc-coded inputs, every input calibrated to
// zero code 1000 and 2 kg per code unit.
inline Settings scaleSettings(int npl, int nadc) {
    Settings s;
    s.Npl = npl;
    s.Nadc = nadc;
    s.a0.fill(1000);
    s.ak.fill(2000000);
    return s;
}

}  // namespace zv::test
