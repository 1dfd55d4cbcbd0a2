#include "privilege/secure_start.h"
#include "privilege/unsafe_environment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv {
namespace {

TEST(UnsafeEnvironment, DropsWhatLoadsCodeAndKeepsTheDisplayAndThePlatformName) {
    const std::vector<std::string> environment{
        "LD_PRELOAD=/home/op/shim.so",     "LD_LIBRARY_PATH=/home/op",
        "QT_PLUGIN_PATH=/home/op/plugins", "QT_QPA_PLATFORM_PLUGIN_PATH=/home/op/p",
        "QT_QPA_PLATFORMTHEME=gtk3",       "QT_STYLE_OVERRIDE=fusion",
        "QT_IM_MODULE=ibus",               "QT_DEBUG_PLUGINS=1",
        "QML2_IMPORT_PATH=/home/op/qml",   "GTK_MODULES=evil",
        "GIO_EXTRA_MODULES=/home/op",      "GCONV_PATH=/home/op/gconv",
        "XDG_DATA_DIRS=/home/op/share",    "XDG_CONFIG_DIRS=/home/op/etc",
        "XDG_CURRENT_DESKTOP=GNOME",       "FONTCONFIG_FILE=/home/op/fonts.conf",
        "LIBGL_DRIVERS_PATH=/home/op/dri", "__EGL_VENDOR_LIBRARY_FILENAMES=/home/op/egl.json",
        "OPENSSL_CONF=/home/op/ssl.cnf",   "PGSSLMODE=disable",
        "TMPDIR=/home/op/tmp",             "SQLITE_TMPDIR=/home/op/tmp",
        // kept:
        "QT_QPA_PLATFORM=offscreen",       "QT_SCALE_FACTOR=1.5",
        "DISPLAY=:0",                      "WAYLAND_DISPLAY=wayland-0",
        "XAUTHORITY=/home/op/.Xauthority", "XDG_RUNTIME_DIR=/run/user/1000",
        "HOME=/home/op",                   "LANG=ru_RU.UTF-8",
        "LC_ALL=ru_RU.UTF-8",              "PATH=/home/op/bin:/usr/bin",
        "MALFORMED",
    };
    const std::vector<std::string> expected{
        "LD_PRELOAD",      "LD_LIBRARY_PATH",     "QT_PLUGIN_PATH",     "QT_QPA_PLATFORM_PLUGIN_PATH",
        "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_IM_MODULE",    "QT_DEBUG_PLUGINS",
        "QML2_IMPORT_PATH", "GTK_MODULES",        "GIO_EXTRA_MODULES",  "GCONV_PATH",
        "XDG_DATA_DIRS",   "XDG_CONFIG_DIRS",     "XDG_CURRENT_DESKTOP", "FONTCONFIG_FILE",
        "LIBGL_DRIVERS_PATH", "__EGL_VENDOR_LIBRARY_FILENAMES", "OPENSSL_CONF", "PGSSLMODE",
        "TMPDIR",          "SQLITE_TMPDIR",
    };
    EXPECT_EQ(unsafeVariables(environment, true), expected);
    // Run with the caller's own rights, the environment is the caller's to set.
    EXPECT_TRUE(unsafeVariables(environment, false).empty());
}

TEST(SecureStart, AcceptsOnlyAProgramDirectlyInItsFolder) {
    struct Case {
        const char* file;
        const char* folder;
        bool inside;
    };
    const Case cases[] = {
        {"/opt/zolvelt/zolvelt", "/opt/zolvelt", true},
        {"/opt/zolvelt/zolvelt-tool", "/opt/zolvelt/", true},
        {"/home/op/zolvelt", "/opt/zolvelt", false},
        {"/opt/zolvelt/help/zolvelt", "/opt/zolvelt", false},   // a folder below
        {"/opt/zolvelt-copy/zolvelt", "/opt/zolvelt", false},   // a name that only begins so
        {"/opt/zolvelt", "/opt/zolvelt", false},
        {"/opt/zolvelt/", "/opt/zolvelt", false},
        {"zolvelt", "/opt/zolvelt", false},                      // not absolute
        {"", "/opt/zolvelt", false},
    };
    for (const Case& c : cases) EXPECT_EQ(liesDirectlyIn(c.file, c.folder), c.inside) << c.file << " in " << c.folder;
}

TEST(SecureStart, KnowsTheRunningExecutableAndLetsAnUnprivilegedRunGoOn) {
    const std::string executable = runningExecutable();
    EXPECT_TRUE(executable.ends_with("/privilege_tests")) << executable;
    EXPECT_FALSE(installedProgramFolder().empty());
    // This test runs from the build folder, with its own rights: no refusal.
    EXPECT_EQ(secureStart(), "");
}

}  // namespace
}  // namespace zv
