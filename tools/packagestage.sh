#!/usr/bin/env bash
# The Debian packages, as a user gets them: makes tarnapp and tarnapp-unitsim
# from the build tree (cpack, dependencies by dpkg-shlibdeps), checks them
# with lintian (no errors; the warnings left are explained in docs/testing.md),
# installs them on this machine with apt-get, runs the installed programs,
# checks that every file is where the desktop, the software centre and man
# look for it, and removes the packages again. First it checks the Flatpak
# manifest as far as it can be without building it. Needs root or sudo, and
# refuses to run where a tarnapp package is already installed.
#
#   TARN_BUILD_DIR  build tree (default: build); built first if needed
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# The Flatpak cannot be built here (no Flathub); what can be checked is.
packaging/flatpak/checkmanifest.py
build_dir=${TARN_BUILD_DIR:-build}
[[ -f $build_dir/CMakeCache.txt ]] || tools/setup.sh
cmake --build "$build_dir" -j2 >/dev/null

sudo=()
[[ $(id -u) == 0 ]] || sudo=(sudo)
for package in tarnapp tarnapp-unitsim; do
    if dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
        echo "packagestage: $package is installed here already; remove it first" >&2
        exit 1
    fi
done

out=$(mktemp -d)
installed=0
cleanup() {
    if ((installed)); then
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y tarnapp tarnapp-unitsim >/dev/null
    fi
    rm -rf "$out"
}
trap cleanup EXIT

# The programs find nothing by their prefix, so a build tree configured for
# /usr/local packages for /usr as well.
(cd "$build_dir" && cpack -G DEB -B "$out" -D CPACK_PACKAGING_INSTALL_PREFIX=/usr >/dev/null)
debs=("$out"/tarnapp_*.deb "$out"/tarnapp-unitsim_*.deb)
for deb in "${debs[@]}"; do
    [[ -f $deb ]] || { echo "packagestage: cpack made no $deb" >&2; exit 1; }
    echo "packagestage: $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
done

echo "packagestage: lintian"
lintian --fail-on error --display-level '>=warning' "${debs[@]}"

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get install -y --no-install-recommends "${debs[@]}" >/dev/null
installed=1

app=io.github.tarnapp.TarnApp
for file in /usr/bin/TarnApp /usr/bin/tarnapp-unitsim \
    /usr/share/applications/$app.desktop /usr/share/metainfo/$app.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/$app.svg /usr/share/icons/hicolor/256x256/apps/$app.png \
    /usr/share/man/man1/TarnApp.1.gz /usr/share/man/man1/tarnapp-unitsim.1.gz \
    /usr/share/doc/tarnapp/copyright /usr/share/doc/tarnapp-unitsim/copyright; do
    [[ -f $file ]] || { echo "packagestage: not installed: $file" >&2; exit 1; }
done
desktop-file-validate /usr/share/applications/$app.desktop
appstreamcli validate --no-net --pedantic /usr/share/metainfo/$app.metainfo.xml >/dev/null
[[ $(man -w TarnApp) == /usr/share/man/man1/TarnApp.1.gz ]]

# The installed programs, from a folder with nothing of the build in it.
version=$(cd / && QT_QPA_PLATFORM=offscreen TarnApp --version)
expected="TarnApp $(dpkg-deb -f "${debs[0]}" Version)"
[[ $version == "$expected" ]] || { echo "packagestage: TarnApp --version said '$version'" >&2; exit 1; }
help=$(cd / && tarnapp-unitsim --help)
[[ $help == "Usage: tarnapp-unitsim "* ]] ||
    { echo "packagestage: the installed tarnapp-unitsim did not answer --help" >&2; exit 1; }
echo "packagestage: installed and ran $version; the files:"
dpkg -L tarnapp tarnapp-unitsim | sort -u | while read -r path; do [[ -z $path || -d $path ]] || echo "  $path"; done

"${sudo[@]}" apt-get purge -y tarnapp tarnapp-unitsim >/dev/null
installed=0
for file in /usr/bin/TarnApp /usr/bin/tarnapp-unitsim /usr/share/man/man1/TarnApp.1.gz; do
    [[ ! -e $file ]] || { echo "packagestage: still there after removal: $file" >&2; exit 1; }
done
echo "packagestage: removed again"
