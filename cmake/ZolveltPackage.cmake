# Installation and the Debian package.
#
# cmake --install puts the program, zolvelt-tool, the table templates and help/ into one
# program folder, CMAKE_INSTALL_PREFIX (see src/app and tools). The program keeps its settings
# file, "DB" and "ZOL_arch" beside itself, so that folder must be writable by its user.
#
# cpack -G DEB makes a package installing into /opt/zolvelt, which stays root's. There the
# settings file and the two folders are links to /etc/opt/zolvelt/ZOLVelt.ini,
# /var/opt/zolvelt/DB and /var/opt/zolvelt/ZOL_arch, which the maintainer scripts
# (packaging/debian) give to the records group "zolvelt-rec" alone; they also make the program
# and zolvelt-tool set-group-ID to that group. The links, the desktop entry and the icon belong
# to the component "deb", which only the package installs.
#
# The programs refuse to run with the records group from anywhere but CMAKE_INSTALL_PREFIX
# (src/privilege), so the package's folder and the build's install prefix must be the same.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /opt/zolvelt CACHE PATH "The program folder" FORCE)
endif()

# The program links only the system's libraries: no run path ($ORIGIN/../lib, which
# qt_standard_project_setup asks for) in the installed executables. Included before the
# targets are defined, so that they see it.
set(CMAKE_SKIP_INSTALL_RPATH ON)

set(_pkg ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${_pkg}/zolvelt.desktop DESTINATION /usr/share/applications
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${_pkg}/zolvelt.svg DESTINATION /usr/share/icons/hicolor/scalable/apps
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${_pkg}/zolvelt.png DESTINATION /usr/share/icons/hicolor/256x256/apps
        COMPONENT deb EXCLUDE_FROM_ALL)
install(CODE "
    set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${folder}\")
    foreach(link \"ZOLVelt.ini=/etc/opt/zolvelt/ZOLVelt.ini\"
                 \"DB=/var/opt/zolvelt/DB\"
                 \"ZOL_arch=/var/opt/zolvelt/ZOL_arch\")
        string(REPLACE \"=\" \";\" link \"\${link}\")
        list(GET link 0 name)
        list(GET link 1 target)
        message(STATUS \"Linking: \${folder}/\${name} -> \${target}\")
        file(CREATE_LINK \"\${target}\" \"\${folder}/\${name}\" SYMBOLIC)
    endforeach()
    " COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zolvelt)
set(CPACK_PACKAGE_VENDOR ZOLVelt)
set(CPACK_PACKAGE_CONTACT "Seed d4bbf547 maintainers <maintainers@users.noreply.c-seed-d4bbf547.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "operator's program of a railway weigh-in-motion scale")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "ZOLVelt reads the load-cell converter of a weigh-in-motion scale over a serial line,\n"
    "weighs every axle, bogie and wagon of a passing train, stores the trains and keeps\n"
    "the goods yard's records: wagons on the territory, the monthly weighing book, reports\n"
    "and waybills.\n"
    "\n"
    "The program is installed in /opt/zolvelt, set-group-ID to the records group\n"
    "zolvelt-rec, which no operator is in; operators run it as themselves and must be\n"
    "members of dialout, for the serial port.")
set(CPACK_STRIP_FILES ON)
# The desktop entry and the icon go to /usr/share: the staging install runs with DESTDIR.
set(CPACK_SET_DESTDIR ON)
# The program folder of the package, whatever CMAKE_INSTALL_PREFIX the build has (the
# desktop entry and the maintainer scripts name it too).
set(CPACK_INSTALL_PREFIX /opt/zolvelt)
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/zolvelt)
if(NOT CMAKE_INSTALL_PREFIX STREQUAL CPACK_PACKAGING_INSTALL_PREFIX)
    message(WARNING "The install prefix ${CMAKE_INSTALL_PREFIX} is not the package's program "
                    "folder ${CPACK_PACKAGING_INSTALL_PREFIX}: a package built so would refuse to start.")
endif()
# Everything of a plain install, and the component only the package has.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};deb;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries' packages (Qt 6, SQLite, libpq, the C++ runtime); the rest the
# program needs without linking it: the reports' font (DejaVu Sans), Qt's Russian texts of
# standard buttons and dialogs, and addgroup for the maintainer scripts. Qt's xcb and offscreen platform plugins come with libqt6gui6 in
# Debian 12 (qt6-qpa-plugins holds only the vnc one), which the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, qt6-translations-l10n, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${_pkg}/debian/postinst
    ${_pkg}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
