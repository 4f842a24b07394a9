#!/usr/bin/env bash
# Sorts ThreadSanitizer's reports into those of our own code and those wholly
# inside Qt and the system's libraries; prints ours in full and a count of
# both, and exits 1 if any report is ours.
#   bash tests/tsan/own_races.sh REPOSITORY LOG...
#
# The rule. A report is ours when one of its racing accesses was made by our
# code: the stack of either access (the "Read/Write of size" and "Previous
# read/write" sections; for a report without accesses, such as a lock-order
# inversion or a thread leak, every stack it shows) is walked from its top,
# past the frames that only carry the access out for their caller: the C and
# C++ runtime and ThreadSanitizer's interceptors (libc, libstdc++, libgcc,
# libtsan), code inlined from system headers (/usr/include: the standard
# library's templates, Qt's inline functions), and frames of the program
# without a source line. The first frame left decides:
# - a source file of this repository, or moc's output for our headers
#   (a CMake *_autogen folder): ours;
# - any other library (Qt, glib, xcb, ...): that library accessed its own
#   memory, ordered by synchronisation ThreadSanitizer cannot see in
#   uninstrumented code; counted, not failed.
# A stack that holds only runtime frames is not ours. Qt's frames never show
# below our code's (Qt is not instrumented, so a Qt function appears only as
# the direct caller of an intercepted or instrumented function), which is why
# only the frames above the first library frame are looked at: every stack on
# the window's thread has our main() and event handlers far below.
set -uo pipefail

[[ $# -ge 1 && -d $1 ]] || { echo "usage: bash $0 REPOSITORY LOG..." >&2; exit 2; }
root=$(cd "$1" && pwd)
shift
(($# > 0)) || { echo "ThreadSanitizer: 0 reports in our code, 0 only in Qt and system libraries (no log)"; exit 0; }

# The repository's sources as paths relative to its root, one a line. Debug
# information names them relative to the build folder (../../pictures/X.cpp,
# as ccache rewrites them) or absolutely: both end in one of these.
sources=$(cd "$root" && find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's|^\./||')

awk -v sources="$sources" '
BEGIN {
    n = split(sources, list, "\n")
    for (i = 1; i <= n; ++i)
        ours[list[i]] = 1
    runtime = "^(libtsan|libc|libstdc\\+\\+|libgcc_s|libm|libpthread|ld-linux[^.]*)\\.so"
}

# "own", "library" or "pass" for one frame line:
#   #3 Function(args) FILE:LINE (MODULE+0xOFFSET)
function classify(line,    fields, count, file, module, path, parts, k, suffix, i) {
    count = split(line, fields, " ")
    module = fields[count]
    sub(/^\(/, "", module)
    sub(/\+0x[0-9a-f]+\)$/, "", module)
    file = fields[count - 1]
    sub(/(:[0-9]+)+$/, "", file)
    if (module ~ /\.so/ && module !~ runtime)
        return "library"
    if (file == "<null>" || file ~ /^\/usr\//)
        return "pass"
    if (file ~ /_autogen\//)
        return "own"
    path = file
    while (sub(/^\.\.?\//, "", path))
        ;
    k = split(path, parts, "/")
    suffix = parts[k]
    for (i = k - 1; i >= 1; --i) {
        suffix = parts[i] "/" suffix
        if (suffix in ours)
            return "own"
    }
    return "pass"
}

# Judges the report held in lines[1..nlines].
function judge(    i, hasAccess, inStack, judging, decided, verdict, kind) {
    hasAccess = 0
    for (i = 1; i <= nlines; ++i)
        if (lines[i] ~ /^  (Previous )?([Aa]tomic )?([Rr]ead|[Ww]rite) of size/)
            hasAccess = 1
    verdict = 0
    judging = 0
    for (i = 1; i <= nlines; ++i) {
        if (lines[i] ~ /^  [^ ]/) {
            judging = !hasAccess || lines[i] ~ /^  (Previous )?([Aa]tomic )?([Rr]ead|[Ww]rite) of size/
            decided = 0
        } else if (judging && !decided && lines[i] ~ /^    #[0-9]+ /) {
            kind = classify(lines[i])
            if (kind == "own") {
                verdict = 1
                decided = 1
            } else if (kind == "library") {
                decided = 1
            }
        }
    }
    return verdict
}

function flush(    i) {
    if (!nlines)
        return
    if (judge()) {
        ++own
        print "=================="
        for (i = 1; i <= nlines; ++i)
            print lines[i]
        print "=================="
    } else {
        ++foreign
    }
    nlines = 0
}

/^WARNING: ThreadSanitizer:/ { flush(); inReport = 1 }
/^==================$/ { flush(); inReport = 0; next }
inReport { lines[++nlines] = $0 }

END {
    flush()
    printf "ThreadSanitizer: %d reports in our code, %d only in Qt and system libraries\n", own, foreign
    exit own > 0
}
' "$@"
