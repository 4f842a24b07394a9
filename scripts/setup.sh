#!/usr/bin/env bash
# Installs the Debian 12 packages Kalvio needs to build, test, package and show its sample, and
# the programs its benchmark compares it with.
# Re-runs are fast: when every package is already installed the apt step is skipped.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive

packages=(
    build-essential
    cmake
    ninja-build
    qt6-base-dev
    pkg-config
    libjpeg62-turbo-dev
    libexif-dev
    liblcms2-dev       # CMYK pictures through their ICC profile
    libicu-dev         # names in the order of the user's language
    clang
    libclang-rt-14-dev
    libgl-dev
    qt6-image-formats-plugins
    xvfb
    xdotool
    x11-utils
    x11-apps
    imagemagick
    libgs-common       # the tests' SWOP CMYK profile
    fonts-dejavu-core
    fonts-liberation2  # the stand-in for the window's own bold face
    libxkbcommon-x11-0
    libxcb-cursor0
    xauth
    librsvg2-bin       # assets/make-assets.sh renders the SVG application icon
    desktop-file-utils # the install test validates the desktop entry,
    appstream          # the AppStream metainfo
    groff-base         # and the manual page;
    dpkg-dev           # cpack finds the .deb's dependencies with dpkg-shlibdeps,
    file               # telling programs from data with file
    libvips-tools      # kalvio_bench times vipsthumbnail
    nsxiv              # and nsxiv's thumbnail mode beside Kalvio
)

missing=()
for pkg in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} == 0)); then
    echo "setup: all ${#packages[@]} packages already installed"
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
