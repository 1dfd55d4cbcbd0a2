#include "simulator/train_file.h"

#include <charconv>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

namespace zv {

namespace {

double number(const std::string& text) {
    double value = 0;
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        throw std::runtime_error("not a number: '" + text + "'");
    return value;
}

using Fields = std::map<std::string, double>;

Fields readFields(std::istringstream& words) {
    Fields fields;
    std::string word;
    while (words >> word) {
        auto eq = word.find('=');
        if (eq == std::string::npos)
            throw std::runtime_error("expected FIELD=VALUE: '" + word + "'");
        fields[word.substr(0, eq)] = number(word.substr(eq + 1));
    }
    return fields;
}

double take(Fields& fields, const std::string& name, double fallback) {
    auto it = fields.find(name);
    if (it == fields.end()) return fallback;
    double value = it->second;
    fields.erase(it);
    return value;
}

int vehicleCount(Fields& fields) {
    double count = take(fields, "count", 1);
    if (count < 1 || count > 1000 || count != static_cast<int>(count))
        throw std::runtime_error("count must be a whole number 1-1000");
    return static_cast<int>(count);
}

// Fields every vehicle kind accepts, after its defaults are set.
void applyCommonFields(VehicleDescription& v, Fields& fields) {
    double imbalance = take(fields, "imbalance", v.frontBogieMass - v.rearBogieMass);
    double mass = v.mass();
    v.frontBogieMass = (mass + imbalance) / 2;
    v.rearBogieMass = (mass - imbalance) / 2;
    v.transverseOffset = take(fields, "offset", v.transverseOffset);
    v.length = take(fields, "length", v.length);
    v.wagonBase = take(fields, "base", v.wagonBase);
    v.bogieBase = take(fields, "bogiebase", v.bogieBase);
    v.groupSpan = take(fields, "span", v.groupSpan);
    if (!fields.empty()) throw std::runtime_error("unknown field '" + fields.begin()->first + "'");
}

void readVehicles(const std::string& keyword, std::istringstream& words, TrainDescription& train) {
    Fields fields = readFields(words);
    int count = vehicleCount(fields);
    VehicleDescription v;
    if (keyword == "locomotive") {
        v = makeLocomotive(take(fields, "mass", 130000));
    } else {
        if (!fields.count("axles") || !fields.count("mass"))
            throw std::runtime_error("a wagon needs axles= and mass=");
        int axles = static_cast<int>(take(fields, "axles", 4));
        v = makeWagon(axles, take(fields, "mass", 0));
    }
    applyCommonFields(v, fields);
    train.vehicles.insert(train.vehicles.end(), count, v);
}

void readStatement(const std::string& line, TrainDescription& train) {
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword)) return;
    std::string a, b, rest;
    if (keyword == "locomotive" || keyword == "wagon") return readVehicles(keyword, words, train);
    words >> a >> b >> rest;
    if (a.empty() || !rest.empty()) throw std::runtime_error("wrong number of values");
    if (keyword == "direction" && b.empty()) {
        train.direction = static_cast<int>(number(a));
    } else if (keyword == "speed") {
        train.speed.startKmh = number(a);
        train.speed.endKmh = b.empty() ? train.speed.startKmh : number(b);
    } else if (keyword == "empty" && b.empty()) {
        train.emptySeconds = number(a);
    } else {
        throw std::runtime_error("unknown statement '" + keyword + "'");
    }
}

}  // namespace

TrainDescription readTrainFile(std::istream& in) {
    TrainDescription train;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        line = line.substr(0, line.find('#'));
        try {
            readStatement(line, train);
        } catch (const std::runtime_error& e) {
            throw std::runtime_error("line " + std::to_string(lineNo) + ": " + e.what());
        }
    }
    std::string problem = checkTrain(train);
    if (!problem.empty()) throw std::runtime_error(problem);
    return train;
}

}  // namespace zv
