#!/usr/bin/env bash
# Installs the Debian 12 packages Kalvio needs, in one of two sets:
#   scripts/setup.sh run    building the program and showing the sample (scripts/run-sample.sh)
#   scripts/setup.sh test   all of that, and what the tests, the fuzzer, the Debian package and
#                           the benchmark's peer programs need (scripts/test.sh); the default
# Re-runs are fast: when every package is already installed the apt step is skipped.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive

set_name=${1:-test}

# Building and running the program, and run-sample.sh's private screen and screenshot.
run_packages=(
    build-essential       # g++ and make
    cmake
    ninja-build
    pkg-config            # finds lcms2, ICU and fontconfig
    qt6-base-dev          # Qt 6 Core, Gui, Widgets (and Test, found when configuring)
    libgl-dev             # Qt's Gui package looks for OpenGL when configured
    libjpeg62-turbo-dev   # the JPEG decoder
    liblcms2-dev          # colour management of pictures with an ICC profile, CMYK too
    libicu-dev            # names in the order of the user's language
    libfontconfig-dev     # the font configuration read while the display is set up
    fonts-liberation2     # the stand-in for the window's own bold face
    qt6-translations-l10n # Qt's own texts (dialog buttons, a text line's menu) in Czech
    libxkbcommon-x11-0    # Qt's X11 platform plugin
    libxcb-cursor0
    fonts-dejavu-core     # a font for the window's text and the sample pictures' numbers
    xvfb                  # run-sample.sh shows the window on a private screen when there is none,
    x11-utils             # waits for it with xdpyinfo,
    xdotool               # finds the window by its title
    imagemagick           # and takes the screenshot; make-sample.sh draws the sample with it
)

# The tests, the fuzzer, the Debian package and the benchmark.
test_packages=(
    clang                 # the fuzzer is built with clang and libFuzzer
    libclang-rt-14-dev
    qt6-image-formats-plugins # TIFF and WebP for Qt: the decoder's tests write them to see them refused
    x11-apps              # the window tests take screenshots with xwd
    xauth                 # xvfb-run's authority file
    dbus-x11              # dbus-launch: without a session bus, libdbus would start one that
                          # writes ~/.dbus, which the chooser test sees the program not do
    libgs-common          # the SWOP CMYK profile of the CMYK colour tests
    librsvg2-bin          # assets/make-assets.sh renders the SVG application icon
    desktop-file-utils    # the install test validates the desktop entry,
    appstream             # the AppStream metainfo
    groff-base            # and the manual page;
    dpkg-dev              # the package test builds the .deb with dpkg-buildpackage,
    debhelper             # through debhelper,
    lintian               # and checks it with lintian
    strace                # the shared-thumbnail test sees the whole session write nothing
    libvips-tools         # kalvio_bench times vipsthumbnail
    nsxiv                 # and nsxiv's thumbnail mode beside Kalvio; kalvio_bench_fullscreen
                          # (build/Release/bench/kalvio_bench_fullscreen [RUNS], see the
                          # README) times nsxiv -f beside the full-screen view
    geeqie                # and geeqie -f: its start and its 1:1 (Z) beside Kalvio's
)

case "$set_name" in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 [run|test]" >&2
        exit 2
        ;;
esac

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "setup: all ${#packages[@]} packages ($set_name) already installed"
    exit 0
fi

echo "setup: installing ${#missing[@]} missing package(s): ${missing[*]}"

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo --preserve-env=DEBIAN_FRONTEND)
else
    echo "setup: not running as root and sudo is not available;" >&2
    echo "setup: install these packages as root: ${missing[*]}" >&2
    exit 1
fi

"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
echo "setup: done"
