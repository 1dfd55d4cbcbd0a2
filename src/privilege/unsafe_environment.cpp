#include "privilege/unsafe_environment.h"

#include <algorithm>
#include <array>

namespace zv {

namespace {

// Whole families: every variable whose name starts so.
constexpr auto UnsafePrefixes = std::to_array<std::string_view>({
    "LD_",          // the dynamic loader (LD_PRELOAD, LD_LIBRARY_PATH, LD_AUDIT …)
    "QT_",          // Qt's plugin paths, platform theme, style, input method, GL integration …
    "QML",          // QML import paths
    "GTK_",         // GTK_MODULES, GTK_PATH, GTK_IM_MODULE_FILE (a GTK platform theme)
    "GIO_",         // GIO_EXTRA_MODULES, GIO_MODULE_DIR
    "GDK_",         // GDK_PIXBUF_MODULEDIR, GDK_PIXBUF_MODULE_FILE
    "GST_",         // GStreamer plugin paths
    "GSETTINGS_",   // GSETTINGS_BACKEND
    "FONTCONFIG_",  // FONTCONFIG_FILE, FONTCONFIG_PATH
    "LIBGL_",       // LIBGL_DRIVERS_PATH
    "MESA_",        // Mesa's loader and driver overrides
    "__GLX_",       // __GLX_VENDOR_LIBRARY_NAME
    "__EGL_",       // __EGL_VENDOR_LIBRARY_FILENAMES, __EGL_VENDOR_LIBRARY_DIRS
    "VK_",          // Vulkan's ICD and layer paths
    "LIBVA_",       // LIBVA_DRIVERS_PATH
    "GBM_",         // GBM_BACKENDS_PATH
    "OPENSSL_",     // OPENSSL_CONF, OPENSSL_ENGINES, OPENSSL_MODULES
    "KRB5",         // KRB5_CONFIG, KRB5CCNAME (libpq's GSSAPI)
    "PG",           // libpq: PGSERVICEFILE, PGSYSCONFDIR, PGSSLMODE, PGHOST …
});

// Qt variables that only scale the windows: kept, they load nothing.
constexpr auto KeptQtVariables = std::to_array<std::string_view>({
    "QT_QPA_PLATFORM",      "QT_SCALE_FACTOR",        "QT_SCREEN_SCALE_FACTORS",
    "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI",      "QT_SCALE_FACTOR_ROUNDING_POLICY",
    "QT_AUTO_SCREEN_SCALE_FACTOR",
});

constexpr auto UnsafeNames = std::to_array<std::string_view>({
    // The C library's own list of variables it ignores with raised privileges.
    "GCONV_PATH", "GETCONF_DIR", "HOSTALIASES", "LOCALDOMAIN", "LOCPATH", "MALLOC_TRACE",
    "NIS_PATH", "NLSPATH", "RESOLV_HOST_CONF", "RES_OPTIONS", "TMPDIR", "TZDIR",
    // Where plugins, modules and their configuration are looked up.
    "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XLOCALEDIR",
    "SSL_CERT_FILE", "SSL_CERT_DIR", "SQLITE_TMPDIR",
    // The desktop's name, from which Qt picks a platform theme plugin (GTK's, KDE's …).
    "XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
    "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID",
});

template <typename List>
bool contains(const List& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

bool isUnsafeVariable(std::string_view name) {
    if (contains(KeptQtVariables, name)) return false;
    if (contains(UnsafeNames, name)) return true;
    return std::any_of(UnsafePrefixes.begin(), UnsafePrefixes.end(),
                       [name](std::string_view prefix) { return name.starts_with(prefix); });
}

std::vector<std::string> unsafeVariables(const std::vector<std::string>& environment, bool secure) {
    std::vector<std::string> names;
    if (!secure) return names;
    for (const std::string& entry : environment) {
        const std::string name = entry.substr(0, entry.find('='));
        if (isUnsafeVariable(name)) names.push_back(name);
    }
    return names;
}

}  // namespace zv
