#include "simulator/truth_csv.h"

#include <cmath>

namespace zv {

double expectedBogieDifference(const TruthRow& row, int direction) {
    // With direction -1 the rear bogie of the passage is the one at the +1 end.
    return direction * (row.frontBogie - row.rearBogie);
}

void writeTruthCsv(std::ostream& out, const std::vector<TruthRow>& rows, int direction) {
    out << "Vehicle,Kind,Axle,Weight,Bogie1,Bogie2,BaseW,BaseB,Speed,WeiL,Offset\n";
    for (const TruthRow& r : rows) {
        out << r.vehicle << ',' << (r.kind == VehicleKind::Locomotive ? "locomotive" : "wagon")
            << ',' << r.axles << ',' << std::lround(r.mass) << ',' << std::lround(r.frontBogie)
            << ',' << std::lround(r.rearBogie) << ',' << std::lround(r.wagonBase) << ','
            << std::lround(r.bogieBase) << ',' << std::lround(r.speedKmh * 10) << ','
            << std::lround(expectedBogieDifference(r, direction)) << ','
            << std::lround(r.transverseOffset) << '\n';
    }
}

}  // namespace zv
