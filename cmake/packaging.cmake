# Debian packages of TarnApp: `cpack -G DEB` in a build tree after a build
# (tools/packagestage.sh builds, checks and installs them).
#
#   tarnapp          the program, its desktop entry, metainfo, icons and manual
#   tarnapp-unitsim  the simulated unit and pad controller (with the tools)
#
# Dependencies are computed by dpkg-shlibdeps from the libraries the built
# programs link, so a Qt 6 build names Qt 6's packages and a build without
# JACK names no libjack. Configure a packaging build with
# -DCMAKE_INSTALL_PREFIX=/usr, as Debian packages live in /usr, not /usr/local.

set(CPACK_PACKAGE_NAME tarnapp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the TarnApp developers")
set(CPACK_PACKAGE_CONTACT "TarnApp developers <tarnapp@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
# Whatever the packager's umask, directories as Debian wants them.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tarnapp)
if(TARGET tarnapp-unitsim AND TARNAPP_BUILD_TOOLS)
    list(APPEND CPACK_COMPONENTS_ALL unitsim)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/tarnapp/TarnApp")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The first line is the package's synopsis; Debian wants the long description
# in lines of at most 80 characters.
set(CPACK_DEBIAN_TARNAPP_PACKAGE_NAME tarnapp)
string(CONCAT CPACK_COMPONENT_TARNAPP_DESCRIPTION
    "switch a MIDI unit between six stored presets\n"
    "TarnApp switches one hardware unit between six stored presets over MIDI\n"
    "System Exclusive messages. Six large buttons show the preset that the unit\n"
    "reports as active; a click, a key, a page-turner pedal, a pad or the foot\n"
    "switch of a remote controller selects another, and the controller's lamps\n"
    "follow the unit. It runs on the ALSA sequencer, JACK or PipeWire.")
# The MIDI service: the ALSA sequencer comes with the kernel; JACK needs a server.
if(TARNAPP_WITH_JACK)
    set(CPACK_DEBIAN_TARNAPP_PACKAGE_SUGGESTS "jackd2 | pipewire-jack, tarnapp-unitsim")
else()
    set(CPACK_DEBIAN_TARNAPP_PACKAGE_SUGGESTS "tarnapp-unitsim")
endif()

set(CPACK_DEBIAN_UNITSIM_PACKAGE_NAME tarnapp-unitsim)
string(CONCAT CPACK_COMPONENT_UNITSIM_DESCRIPTION
    "simulated preset unit and pad controller for TarnApp\n"
    "tarnapp-unitsim plays TarnApp's hardware unit and, on request, a pad\n"
    "controller with a foot switch, on virtual MIDI ports of the ALSA sequencer\n"
    "or JACK. Commands typed on its standard input press pads, choose presets\n"
    "on the unit's front panel, silence it or unplug it, so TarnApp can be\n"
    "tried and shown without hardware.")
set(CPACK_DEBIAN_UNITSIM_PACKAGE_SUGGESTS "tarnapp")

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    message(STATUS "Packaging: the .deb installs under ${CMAKE_INSTALL_PREFIX}; "
                   "configure with -DCMAKE_INSTALL_PREFIX=/usr for a Debian package")
endif()

set(CPACK_GENERATOR DEB)
include(CPack)
