# The libraries TarnApp builds against: Qt 5 or Qt 6, RtMidi, and JACK when
# it is there.
#
#   TARNAPP_QT_MAJOR   5 (default) or 6
#   TARNAPP_WITH_JACK  ON when JACK's development files are found: the parts
#                      that look after a JACK server are built and the test
#                      suite can run; OFF builds no JACK code at all.
#
# Everything links Qt's versionless targets (Qt::Core, ...), which Qt 5.15
# and Qt 6 define; they are made here for older Qt 5 releases.

set(TARNAPP_QT_MAJOR 5 CACHE STRING "Major version of Qt to build against (5 or 6)")
set_property(CACHE TARNAPP_QT_MAJOR PROPERTY STRINGS 5 6)
if(TARNAPP_QT_MAJOR STREQUAL "5")
    set(_tarn_qt_minimum 5.12)
elseif(TARNAPP_QT_MAJOR STREQUAL "6")
    set(_tarn_qt_minimum 6.2)
else()
    message(FATAL_ERROR "TARNAPP_QT_MAJOR must be 5 or 6, not \"${TARNAPP_QT_MAJOR}\"")
endif()
set(_tarn_qt_components Core Gui Widgets)
if(TARNAPP_BUILD_TESTS)
    list(APPEND _tarn_qt_components Test)
endif()
find_package(Qt${TARNAPP_QT_MAJOR} ${_tarn_qt_minimum} REQUIRED COMPONENTS ${_tarn_qt_components})
foreach(_tarn_component IN LISTS _tarn_qt_components)
    if(NOT TARGET Qt::${_tarn_component})
        add_library(Qt::${_tarn_component} INTERFACE IMPORTED)
        set_target_properties(Qt::${_tarn_component} PROPERTIES
            INTERFACE_LINK_LIBRARIES Qt${TARNAPP_QT_MAJOR}::${_tarn_component})
    endif()
endforeach()
set(TARNAPP_QT_VERSION ${Qt${TARNAPP_QT_MAJOR}Core_VERSION})

# RtMidi: pkg-config where there is one (Linux, Homebrew), else RtMidi's own
# CMake package (vcpkg on Windows), under the same target name.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(RTMIDI QUIET IMPORTED_TARGET rtmidi)
endif()
if(NOT TARGET PkgConfig::RTMIDI)
    find_package(RtMidi CONFIG REQUIRED)
    add_library(PkgConfig::RTMIDI INTERFACE IMPORTED)
    set_target_properties(PkgConfig::RTMIDI PROPERTIES INTERFACE_LINK_LIBRARIES RtMidi::rtmidi)
endif()

if(PkgConfig_FOUND AND (NOT DEFINED TARNAPP_WITH_JACK OR TARNAPP_WITH_JACK))
    pkg_check_modules(JACK QUIET IMPORTED_TARGET jack)
endif()
if(TARGET PkgConfig::JACK)
    set(_tarn_jack_default ON)
else()
    set(_tarn_jack_default OFF)
endif()
option(TARNAPP_WITH_JACK "Build the parts that look after a JACK server (needs JACK's development files)"
    ${_tarn_jack_default})
if(TARNAPP_WITH_JACK AND NOT TARGET PkgConfig::JACK)
    message(FATAL_ERROR "TARNAPP_WITH_JACK is ON but JACK's development files (jack.pc) were not "
                        "found; install them (Debian: libjack-jackd2-dev) or set it OFF")
endif()
message(STATUS "TarnApp: Qt ${TARNAPP_QT_VERSION}, JACK parts ${TARNAPP_WITH_JACK}")
