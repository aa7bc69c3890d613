# Where an installation puts things: the GNU install directories, the program's data folder,
# the desktop integration's application id and the udev rules folder. Included before src/, so
# that the programs can be told the paths they mention; the install rules themselves are in
# packaging/CMakeLists.txt.
include(GNUInstallDirs)

# Names the desktop file, the icon and the AppStream metadata. Reverse DNS of the project's own
# name; it must never change once released, as software centres and desktops key on it.
set(CONTAXIO_APP_ID "org.contaxio.Contaxio")

# The languages and help pages: <datadir>/contaxio/{lng,help}. The documentation goes where
# Debian wants it, share/doc/<package>.
set(CONTAXIO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/contaxio)
set(CONTAXIO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/contaxio)

# The udev rule that keeps modem managers off the maker's phones. CONTAXIO_INSTALL_UDEVRULESDIR,
# when set, is the folder (relative to the prefix unless absolute). Left empty, a system
# installation (prefix /usr, as the Debian package) puts it where the system's udev keeps its
# rules: udev's own udevdir when pkg-config knows it, else /lib/udev as on Debian 12; any other
# prefix keeps it below the prefix, in lib/udev/rules.d (udev also reads
# /usr/local/lib/udev/rules.d).
set(CONTAXIO_INSTALL_UDEVRULESDIR "" CACHE STRING
    "Where the udev rule for the maker's phones is installed; empty: chosen from the prefix")
if(CONTAXIO_INSTALL_UDEVRULESDIR)
    set(CONTAXIO_UDEV_RULES_DESTINATION "${CONTAXIO_INSTALL_UDEVRULESDIR}")
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(_contaxio_udevdir "")
    find_package(PkgConfig QUIET)
    if(PKG_CONFIG_FOUND)
        pkg_get_variable(_contaxio_udevdir udev udevdir)
    endif()
    if(NOT _contaxio_udevdir)
        set(_contaxio_udevdir /lib/udev)
    endif()
    set(CONTAXIO_UDEV_RULES_DESTINATION ${_contaxio_udevdir}/rules.d)
else()
    set(CONTAXIO_UDEV_RULES_DESTINATION lib/udev/rules.d)
endif()
if(IS_ABSOLUTE "${CONTAXIO_UDEV_RULES_DESTINATION}")
    set(CONTAXIO_INSTALL_FULL_UDEVRULESDIR "${CONTAXIO_UDEV_RULES_DESTINATION}")
else()
    set(CONTAXIO_INSTALL_FULL_UDEVRULESDIR
        "${CMAKE_INSTALL_PREFIX}/${CONTAXIO_UDEV_RULES_DESTINATION}")
endif()
set(CONTAXIO_UDEV_RULE_NAME 70-contaxio-phone.rules)
