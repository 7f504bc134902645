# Debian package of TarnApp: `cpack -G DEB` in a build tree after a build.
#
# The program looks for its About logo under the data folder of the prefix it
# was configured with, so the package installs under that same prefix.
# Configure a packaging build with -DCMAKE_INSTALL_PREFIX=/usr, as Debian
# packages live in /usr, not /usr/local.

set(CPACK_PACKAGE_NAME tarnapp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TarnApp developers")
set(CPACK_PACKAGE_CONTACT "TarnApp developers <tarnapp@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Switch a MIDI unit between six stored presets")
# Debian wants the long description in lines of at most 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "TarnApp switches one hardware unit between six stored presets over MIDI\n"
    "System Exclusive messages. Six large buttons show the preset that the unit\n"
    "reports as active; a click, a pad of a remote controller or its foot switch\n"
    "selects another, and the remote controller's pads follow the unit.\n"
    "The package also holds tarnapp-unitsim, a simulated unit and pad controller\n"
    "on virtual MIDI ports, to try the program without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tarnapp)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Built against this Qt, the program needs at least its minor version; the
# package names are Debian's for the Qt it was built with. libjack only when
# the JACK parts are built in. The C and C++ runtime versions are those
# dpkg-shlibdeps finds in a build with GCC 12 on Debian 12 (GLIBC_2.34,
# GLIBCXX_3.4.21 symbols).
string(REGEX MATCH "^[0-9]+\\.[0-9]+" _tarn_qt_minor "${TARNAPP_QT_VERSION}")
set(_tarn_qt "(>= ${_tarn_qt_minor})")
if(TARNAPP_QT_MAJOR STREQUAL "6")
    set(_tarn_qt_packages "libqt6widgets6 ${_tarn_qt}, libqt6gui6 ${_tarn_qt}, libqt6core6 ${_tarn_qt}")
else()
    set(_tarn_qt_packages "libqt5widgets5 ${_tarn_qt}, libqt5gui5 ${_tarn_qt}, libqt5core5a ${_tarn_qt}")
endif()
set(_tarn_jack_package "")
if(TARNAPP_WITH_JACK)
    set(_tarn_jack_package "libjack-jackd2-0 | libjack0, ")
endif()
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS
    "${_tarn_qt_packages}, librtmidi6, ${_tarn_jack_package}"
    "libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1 (>= 3.0)")
# The MIDI service: the ALSA sequencer comes with the kernel; JACK needs a server.
if(TARNAPP_WITH_JACK)
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2")
endif()

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    message(STATUS "Packaging: the .deb installs under ${CMAKE_INSTALL_PREFIX}; "
                   "configure with -DCMAKE_INSTALL_PREFIX=/usr for a Debian package")
endif()

set(CPACK_GENERATOR DEB)
include(CPack)
