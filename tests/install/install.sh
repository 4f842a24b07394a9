#!/usr/bin/env bash
# shellcheck disable=SC2317 # the checks are called through "check_$MODE"
# What an installation of Kalvio holds, checked where it lands:
#   install.sh tree BUILD_DIR APP_ID VERSION   `cmake --install` into a temporary prefix:
#       every file at its path, the desktop entry, metainfo and manual page valid and
#       naming one another, the installed program reporting VERSION; its window, on an
#       X server of its own, has the desktop entry's StartupWMClass and every icon size
#   install.sh deb BUILD_DIR APP_ID VERSION    dpkg-buildpackage makes the .deb from debian/
#       in a copy of the source (BUILD_DIR/package): its fields, Depends and files, the program
#       unpacked from it runs on the system's Qt, is hardened and stripped with its symbols in
#       kalvio-dbgsym, and lintian --pedantic finds no error or warning
set -u
FAILURES=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; FAILURES=$((FAILURES + 1)); }
finish()
{
    ((FAILURES == 0)) && { echo "ALL PASSED"; exit 0; }
    echo "$FAILURES FAILED"
    exit 1
}
# expect WHAT CONDITION...: a PASS or FAIL line for one check.
expect()
{
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

[[ $# == 4 && ($1 == tree || $1 == deb) && -d $2 ]] || { echo "usage: bash $0 tree|deb BUILD_DIR APP_ID VERSION"; exit 2; }
MODE=$1 BUILD=$2 ID=$3 VERSION=$4
SIZES='16 22 24 32 48 64 128 256'
SOURCE=$(cd "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
TMP=$(mktemp -d "${TMPDIR:-/tmp}/kalvio-install.XXXXXX") || exit 1
trap 'rm -rf -- "$TMP"' EXIT

# Every file an installation holds, relative to its prefix, sorted.
expected_files()
{
    {
        echo bin/kalvio
        echo "share/applications/$ID.desktop"
        echo "share/metainfo/$ID.metainfo.xml"
        echo share/man/man1/kalvio.1
        echo "share/icons/hicolor/scalable/apps/$ID.svg"
        for size in $SIZES; do echo "share/icons/hicolor/${size}x$size/apps/$ID.png"; done
    } | LC_ALL=C sort
}

# same_lines WHAT EXPECTED ACTUAL: PASS when the two line lists match, else FAIL with the difference.
same_lines()
{
    local difference
    if difference=$(diff <(echo "$2") <(echo "$3")); then
        pass "$1"
    else
        fail "$1"
        echo "    ${difference//$'\n'/$'\n'    }"
    fi
}

# runs_as_version PROGRAM: it prints "kalvio VERSION" for --version and exits 0.
runs_as_version()
{
    local out
    out=$("$1" --version 2>&1)
    local status=$?
    [[ $status == 0 && $out == "kalvio $VERSION" ]] && return 0
    echo "    $1 --version printed \"$out\", status $status"
    return 1
}

# png_size FILE: "WIDTHxHEIGHT" from a PNG's header, or nothing if it is no PNG.
png_size()
{
    local -a b
    read -ra b < <(od -An -tu1 -w24 -N24 -- "$1")
    [[ ${b[*]:0:8} == '137 80 78 71 13 10 26 10' ]] || return 0
    echo "$(((b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19]))x$(((b[20] << 24) | (b[21] << 16) | (b[22] << 8) | b[23]))"
}

# A tool the checks need; missing, it fails the run instead of skipping checks.
need() { command -v "$1" >/dev/null || { fail "$1 is not installed (run scripts/setup.sh)"; finish; }; }

# wait_for SECONDS CMD...: true once CMD succeeds, tried every 0.2 s.
wait_for()
{
    local limit=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < limit)) || return 1
        sleep 0.2
    done
}

# icon_sizes: "WxH" of each image in _NET_WM_ICON (width, height, then width × height
# pixels, image after image), read from xprop's decimal listing on standard input.
icon_sizes()
{
    tr -c '0-9\n' ' ' | tr -s ' ' '\n' | sed '/^$/d' |
        awk 'skip > 0 { --skip; next } !w { w = $1; next } { print w "x" $1; skip = w * $1; w = 0 }'
}

# The installed program on an X server of its own: the window's WM_CLASS class
# is the desktop entry's StartupWMClass, and its icon holds every size of the set.
check_window()
{
    local program=$1 desktop=$2
    need Xvfb
    need xdotool
    need xprop
    local xvfb kalvio window=''
    timeout -k 5 120 Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$TMP/display" 2>"$TMP/xvfb.log" &
    xvfb=$!
    if ! wait_for 20 grep -qs . "$TMP/display"; then
        fail "an X server for the window: $(tail -n 3 "$TMP/xvfb.log")"
        return
    fi
    local display
    display=":$(<"$TMP/display")"
    mkdir "$TMP/empty" && mkdir -m 700 "$TMP/run"
    DISPLAY=$display XDG_RUNTIME_DIR="$TMP/run" QT_QPA_PLATFORM=xcb \
        timeout -k 5 60 "$program" "$TMP/empty" >"$TMP/kalvio.log" 2>&1 &
    kalvio=$!
    find_window() { window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Kalvio ver ' 2>/dev/null | head -n 1); [[ -n $window ]]; }
    if wait_for 30 find_window; then
        local class startup sizes
        class=$(DISPLAY=$display xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\([^"]*\)"$/\1/p')
        startup=$(sed -n 's/^StartupWMClass=//p' "$desktop")
        expect "the window's WM_CLASS class ($class) is the desktop entry's StartupWMClass ($startup)" \
            test -n "$class" -a "$class" = "$startup"
        # The icon is given once the first page is drawn: looked at until then.
        local expected
        expected=$(for size in $SIZES; do echo "${size}x$size"; done)
        icon_read() {
            sizes=$(DISPLAY=$display xprop -id "$window" -notype 32c _NET_WM_ICON | icon_sizes | LC_ALL=C sort -n | tr '\n' ' ')
            [[ "$(tr ' ' '\n' <<<"$sizes" | sed '/^$/d')" == "$expected" ]]
        }
        wait_for 10 icon_read
        same_lines "the window's icon (_NET_WM_ICON) holds every size of the icon set: ${sizes:-none}" \
            "$expected" "$(tr ' ' '\n' <<<"$sizes" | sed '/^$/d')"
    else
        fail "the installed program's window appeared within 30 s: $(tail -n 5 "$TMP/kalvio.log")"
    fi
    kill "$kalvio" "$xvfb" 2>/dev/null
    wait "$kalvio" "$xvfb" 2>/dev/null
}

check_tree()
{
    need desktop-file-validate
    need appstreamcli
    need groff
    local prefix=$TMP/prefix
    if ! cmake --install "$BUILD" --prefix "$prefix" >"$TMP/install.log" 2>&1; then
        cat "$TMP/install.log"
        fail "cmake --install into a temporary prefix"
        finish
    fi
    same_lines "cmake --install puts the program, desktop entry, metainfo, manual page and icons at their paths, nothing else" \
        "$(expected_files)" "$(cd "$prefix" && find . ! -type d | sed 's:^\./::' | LC_ALL=C sort)"
    expect "the installed program runs and reports version $VERSION" runs_as_version "$prefix/bin/kalvio"

    local size wrong=''
    for size in $SIZES; do
        [[ $(png_size "$prefix/share/icons/hicolor/${size}x$size/apps/$ID.png") == "${size}x$size" ]] || wrong+=" $size"
    done
    expect "each theme icon is a PNG of its folder's size${wrong:+ (wrong:$wrong)}" test -z "$wrong"

    local desktop=$prefix/share/applications/$ID.desktop
    local report
    report=$(desktop-file-validate "$desktop" 2>&1)
    expect "desktop-file-validate accepts the desktop entry without a remark${report:+: $report}" test -z "$report"
    local icon exec
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    expect "the desktop entry's Icon ($icon) is the installed theme icon" test "$icon" = "$ID"
    expect "the desktop entry's Exec ($exec) is the installed program" test -x "$prefix/bin/$exec"

    local metainfo=$prefix/share/metainfo/$ID.metainfo.xml
    # The maker's domain ends in a top-level domain the validator does not
    # know, so the one remark it may make is that the id might not be reverse
    # DNS; any other remark, and any warning or error, fails.
    report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1)
    local status=$?
    report=$(grep -E '^[EWIP]: ' <<<"$report" | grep -v ' cid-maybe-not-rdns ')
    expect "appstreamcli validate --no-net accepts the metainfo${report:+: $report}" test "$status" = 0 -a -z "$report"
    expect "the metainfo's id is $ID" grep -q "<id>$ID</id>" "$metainfo"
    expect "the metainfo launches the installed desktop entry" \
        grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo"
    local binary newest
    binary=$(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo")
    expect "the metainfo provides the installed program ($binary)" test -n "$binary" -a -x "$prefix/bin/$binary"
    newest=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*version="//; s/"$//')
    expect "the metainfo's newest release ($newest) is $VERSION" test "$newest" = "$VERSION"
    # The screenshot is published from dist/screenshots under the same name.
    local shot declared
    shot=$(sed -n 's:.*<image [^>]*>.*/\([^/<]*\)</image>.*:\1:p' "$metainfo")
    declared=$(sed -n 's:.*<image [^>]*width="\([0-9]*\)" height="\([0-9]*\)".*:\1x\2:p' "$metainfo")
    expect "the metainfo's screenshot ($shot) is in dist/screenshots at its declared size ($declared)" \
        test -n "$shot" -a "$(png_size "$SOURCE/dist/screenshots/$shot")" = "$declared"
    same_lines "the metainfo provides the media types the desktop entry opens" \
        "$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d' | LC_ALL=C sort)" \
        "$(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo" | LC_ALL=C sort)"

    local manual=$prefix/share/man/man1/kalvio.1
    # As man renders it on a UTF-8 terminal: the Czech texts need that device.
    report=$(groff -man -Tutf8 -ww -z "$manual" 2>&1)
    expect "the manual page renders without a warning${report:+: $report}" test -z "$report"
    expect "the manual page is the one of Kalvio $VERSION" grep -q "^\.TH KALVIO 1 .*\"Kalvio $VERSION\"" "$manual"
    # Each option of --help must head a paragraph of its own (the line after .TP).
    local tags option missing=''
    tags=$(awk 'tagged { print } { tagged = ($1 == ".TP") }' "$manual")
    for option in $("$prefix/bin/kalvio" --help | grep -oE '(^|[ ,])-{1,2}[a-z][a-z-]*' | tr -d ' ,'); do
        grep -qE -- "(^|[ \"])${option//-/\\\\-}([ \",]|$)" <<<"$tags" || missing+=" $option"
    done
    expect "the manual page describes every option of --help${missing:+ (missing:$missing)}" test -z "$missing"

    check_window "$prefix/bin/kalvio" "$desktop"
}

# The files of the package built from debian/, relative to /: the installed files with the
# manual page compressed, and the documentation folder.
expected_package_files()
{
    {
        expected_files | sed 's:^:usr/:; s:^usr/share/man/man1/kalvio\.1$:&.gz:'
        printf 'usr/share/doc/kalvio/%s\n' changelog.gz copyright README.md.gz
    } | LC_ALL=C sort
}

# hardened PROGRAM: read-only relocations, bound at start (full RELRO), as Debian's
# hardening flags link it.
hardened() { readelf -lW "$1" | grep -q GNU_RELRO && readelf -d "$1" | grep -qE '\(FLAGS\).*\bBIND_NOW\b'; }

# symbols_split_off PROGRAM DBGSYM_DEB: the program has no symbol table, and the debugging
# package holds the symbols under the program's build id.
symbols_split_off()
{
    local id
    id=$(readelf -n "$1" | sed -n 's/.*Build ID: *//p')
    [[ -n $id ]] || { echo "    $1 has no build id"; return 1; }
    ! readelf -S "$1" | grep -q '\.symtab' &&
        dpkg-deb -c "$2" | grep "usr/lib/debug/\.build-id/${id:0:2}/${id:2}\.debug$" >/dev/null
}

check_deb()
{
    need dpkg-buildpackage
    need dh
    need lintian
    need readelf
    # Built in a copy of the source at a fixed place in the build folder, so compiler caches
    # find the same paths from one run to the next; dpkg-buildpackage writes its results into
    # the folder above the source.
    local work=$BUILD/package
    rm -rf -- "$work"
    mkdir -p "$work/kalvio"
    tar -C "$SOURCE" --exclude=./.git --exclude=./build --exclude='./obj-*' -cf - . | tar -C "$work/kalvio" -xf -
    if ! (cd "$work/kalvio" && dpkg-buildpackage -us -uc -b -Jauto) >"$TMP/build.log" 2>&1; then
        tail -n 40 "$TMP/build.log"
        fail "dpkg-buildpackage -us -uc -b builds the package"
        finish
    fi
    local arch deb dbgsym
    arch=$(dpkg --print-architecture)
    deb=$work/kalvio_${VERSION}_$arch.deb
    dbgsym=$work/kalvio-dbgsym_${VERSION}_$arch.deb
    same_lines "dpkg-buildpackage makes kalvio and its debugging symbols, version $VERSION" \
        "$(printf '%s\n' "kalvio-dbgsym_${VERSION}_$arch.deb" "kalvio_${VERSION}_$arch.deb")" \
        "$(cd "$work" && find . -maxdepth 1 -name '*.deb' | sed 's:^\./::' | LC_ALL=C sort)"
    [[ -f $deb ]] || finish

    field() { dpkg-deb -f "$deb" "$1"; }
    expect "the package is kalvio $VERSION in section graphics" \
        test "$(field Package) $(field Version) $(field Section)" = "kalvio $VERSION graphics"
    local depends names lib missing=''
    depends=$(field Depends)
    names=$(tr ',|' '\n' <<<"$depends" | awk '{ print $1 }')
    for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo liblcms2-2 libicu72; do
        grep -qxF "$lib" <<<"$names" || missing+=" $lib"
    done
    expect "the package depends on the libraries the program links${missing:+ (missing:$missing)}: $depends" \
        test -z "$missing"
    # What it loads by name at run time: the bold face's stand-in and Qt's Czech texts.
    missing=''
    for package in fonts-liberation2 qt6-translations-l10n; do
        grep -qxF "$package" <<<"$names" || missing+=" $package"
    done
    expect "the package depends on the font and the Qt translation the program loads${missing:+ (missing:$missing)}" \
        test -z "$missing"
    same_lines "the package holds the installed files under /usr, the manual page compressed, and its documentation" \
        "$(expected_package_files)" \
        "$(dpkg-deb -c "$deb" | grep -v '^d' | sed -E 's:.* \./::; s: -> .*::' | LC_ALL=C sort)"

    # Unpacked in a folder of its own, the program must find Qt where the system keeps it.
    dpkg-deb -x "$deb" "$TMP/root"
    local program=$TMP/root/usr/bin/kalvio
    expect "the program unpacked from the package runs and reports version $VERSION" runs_as_version "$program"
    expect "the program is linked with Debian's hardening flags (full RELRO)" hardened "$program"
    expect "the program is stripped and its symbols are in kalvio-dbgsym" symbols_split_off "$program" "$dbgsym"

    # Debian's checker, pedantic: no error and no warning; what else it says is shown.
    local report notes
    report=$(lintian -EvIL +pedantic "$work/kalvio_${VERSION}_$arch.changes" 2>&1 | grep -E '^[EWIPXO]: ')
    notes=$(grep -E '^[IPX]: ' <<<"$report")
    [[ -z $notes ]] || echo "    lintian notes: ${notes//$'\n'/$'\n'    }"
    report=$(grep -E '^[EW]: ' <<<"$report")
    expect "lintian --pedantic reports no error and no warning${report:+:$'\n'$report}" test -z "$report"
}

"check_$MODE"
finish
