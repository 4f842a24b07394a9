#!/usr/bin/env bash
# shellcheck disable=SC2317 # the checks are called through "check_$MODE"
# What an installation of Kalvio holds, checked where it lands:
#   install.sh tree BUILD_DIR APP_ID VERSION   `cmake --install` into a temporary prefix:
#       every file at its path, the desktop entry, metainfo and manual page valid and
#       naming one another, the installed program reporting VERSION
#   install.sh deb BUILD_DIR APP_ID VERSION    `cpack` makes a .deb: its fields, Depends
#       and files, and the program unpacked from it runs on the system's Qt
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
    report=$(groff -man -ww -z "$manual" 2>&1)
    expect "the manual page renders without a warning${report:+: $report}" test -z "$report"
    expect "the manual page is the one of Kalvio $VERSION" grep -q "^\.TH KALVIO 1 .*\"Kalvio $VERSION\"" "$manual"
    # Each option of --help must head a paragraph of its own (the line after .TP).
    local tags option missing=''
    tags=$(awk 'tagged { print } { tagged = ($1 == ".TP") }' "$manual")
    for option in $("$prefix/bin/kalvio" --help | grep -oE '(^|[ ,])-{1,2}[a-z][a-z-]*' | tr -d ' ,'); do
        grep -qE -- "(^|[ \"])${option//-/\\\\-}([ \",]|$)" <<<"$tags" || missing+=" $option"
    done
    expect "the manual page describes every option of --help${missing:+ (missing:$missing)}" test -z "$missing"
}

check_deb()
{
    need cpack
    need dpkg-deb
    need dpkg-shlibdeps
    if ! cpack --config "$BUILD/CPackConfig.cmake" -B "$TMP/out" >"$TMP/cpack.log" 2>&1; then
        cat "$TMP/cpack.log"
        fail "cpack builds a package"
        finish
    fi
    local -a debs
    mapfile -t debs < <(find "$TMP/out" -maxdepth 1 -name '*.deb')
    local deb=${debs[0]:-}
    local arch
    arch=$(dpkg --print-architecture)
    expect "cpack makes one package, kalvio_${VERSION}_$arch.deb" \
        test "${#debs[@]}" = 1 -a "$(basename "$deb")" = "kalvio_${VERSION}_$arch.deb"
    [[ -n $deb ]] || finish

    field() { dpkg-deb -f "$deb" "$1"; }
    expect "the package is kalvio $VERSION in section graphics" \
        test "$(field Package) $(field Version) $(field Section)" = "kalvio $VERSION graphics"
    expect "the package names a maintainer with an address" grep -qE '^[^<]+ <[^@ >]+@[^ >]+>$' <<<"$(field Maintainer)"
    expect "the package has a description" test -n "$(field Description)"
    local depends names lib missing=''
    depends=$(field Depends)
    names=$(tr ',|' '\n' <<<"$depends" | awk '{ print $1 }')
    for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
        grep -qxF "$lib" <<<"$names" || missing+=" $lib"
    done
    expect "the package depends on the C, C++ and Qt libraries it links${missing:+ (missing:$missing)}: $depends" \
        test -z "$missing"

    same_lines "the package holds the installed files under /usr" \
        "$(expected_files | sed 's:^:usr/:')" \
        "$(dpkg-deb -c "$deb" | grep -v '^d' | sed -E 's:.* \./::' | LC_ALL=C sort)"

    # Unpacked in a folder of its own, the program must find Qt where the
    # system keeps it.
    dpkg-deb -x "$deb" "$TMP/root"
    expect "the program unpacked from the package runs and reports version $VERSION" \
        runs_as_version "$TMP/root/usr/bin/kalvio"
}

"check_$MODE"
finish
