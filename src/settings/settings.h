#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zv {

// Bits of Settings::Params (one per item of the options list of the program settings window).
namespace params {
// Wagons with weighing problems may be processed.
inline constexpr int32_t AllowProblemWagons = 1 << 0;
inline constexpr int32_t ShowGravityOffsets = 1 << 1;
// Debug columns of the train grid, recording button.
inline constexpr int32_t ShowDebugColumns = 1 << 6;
// Recording and replay panel of the main window.
inline constexpr int32_t ShowRawDataPanel = 1 << 7;
}  // namespace params

// "Central": sending every record to the office's PostgreSQL database. The password never
// lives here; libpq takes it from its password file or service file.
struct CentralSettings {
    bool Send = false;
    std::string Host = "localhost";
    int32_t Port = 5432;
    std::string Database = "zolvelt";
    std::string User = "zolvelt";
    std::string Scale;  // this scale's identity on the server, stable across heading changes
    // libpq's sslmode; empty: "verify-full" when SslRootCert names a root certificate, else
    // "require". A plaintext link only when "disable" is written here.
    std::string SslMode;
    std::string SslRootCert;  // the file of the certificate authority that signed the server's

    bool operator==(const CentralSettings&) const = default;
};

// Every parameter of the scale and the program, named by its key in the settings file.
// Defaults are the values taken when a key is absent. The calibration arrays start at zero
// and are filled when the file is read.
struct Settings {
    // "Scales", connection
    std::string Port = "_";
    std::string BaudRate = "19200";
    std::string Parity = "Even";
    bool Connect = false;

    // "Scales", scale parameters
    int32_t Wmax = 200000;
    int32_t Wmin = 1000;
    int32_t Dis = 20;
    int32_t Did = 50;
    int32_t Didl = 10;
    int32_t Dids = 10;
    int32_t Zpwr = 1000;
    int32_t Zman = 1000;
    int32_t Zaut = 250;
    int32_t Zst = 50;
    int32_t Fadc = 50;
    int32_t Fflt = 10;
    int32_t Fflt_ = 10;
    int32_t tflt = 100;
    int32_t Axtr1 = 350;
    int32_t Npl = 1;
    int32_t Nadc = 1;
    int32_t Lp1 = 5000;
    int32_t Lp2 = 5000;
    int32_t Lp3 = 3650;
    int32_t kd = 1000000;
    int32_t b1 = 1610;
    int32_t b2 = 1610;
    int32_t L1 = 4690;
    int32_t L2 = 4690;
    int32_t L12 = 4020;
    int32_t s1 = 0;
    int32_t s2 = 0;
    int32_t s3 = 0;
    int32_t s4 = 0;
    // 0 the defined weighing of bogie windows; 1 the weighing by axle loads.
    int32_t WeighMethod = 0;

    // "Scales", calibration: zero code and coefficient (kg per million code units) of each input
    std::array<int32_t, 8> a0{};
    std::array<int32_t, 8> ak{};

    // "DB"
    std::string Path;   // folder of the working tables (its default ends in "/")
    std::string PathA;  // archive folder of weighing books

    // "Common" (text kept in UTF-8 in memory; the file is Windows-1251)
    std::string User = "Пользователь программы ZOLVELT";
    std::string ScName = "ж/д весы ZOLVELT";
    int32_t Params = 0;
    int32_t Vmax = 10;
    int32_t tTrEnd = 15000;  // ms

    CentralSettings Central;

    bool has(int32_t paramBit) const { return (Params & paramBit) != 0; }
};

}  // namespace zv
