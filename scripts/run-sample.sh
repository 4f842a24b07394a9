#!/usr/bin/env bash
# Installs what building and running need and is missing (scripts/setup.sh run), builds the
# program alone in a Release build and shows the sample folder.
# With a display the viewer runs in the foreground. Without one it runs on a private
# Xvfb server, a screenshot is saved (default /tmp/kalvio-sample.png, or
# $KALVIO_SCREENSHOT) and everything started here is shut down again.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
title='Kalvio ver 1.1'
shot=${KALVIO_SCREENSHOT:-/tmp/kalvio-sample.png}

bash "$root/scripts/setup.sh" run
# Configured as scripts/build.sh configures a Release build (tests and benchmarks stay in it for
# scripts/test.sh), but only the program is built.
build_dir="$root/build/Release"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_BUILD_TYPE=Release
cmake --build "$build_dir" --parallel "$(nproc 2>/dev/null || echo 2)" --target kalvio

viewer="$build_dir/kalvio"
if [[ ! -x "$viewer" ]]; then
    echo "run-sample: $viewer was not built" >&2
    exit 1
fi
if [[ ! -d "$root/sample/Fotky" ]]; then
    bash "$root/scripts/make-sample.sh"
fi

cd "$root/sample"

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$viewer"
fi

# No display: start our own Xvfb on the first free display number.
xvfb_pid=
viewer_pid=

stop_pid() {
    local pid=$1
    [[ -n "$pid" ]] || return 0
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    stop_pid "$viewer_pid"
    stop_pid "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

display=
for n in $(seq 99 199); do
    [[ -e "/tmp/.X$n-lock" || -e "/tmp/.X11-unix/X$n" ]] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
            display=":$n"
            break
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    [[ -n "$display" ]] && break
    # Lost a race for this number or the server would not come up: try the next one.
    stop_pid "$xvfb_pid"
    xvfb_pid=
done
if [[ -z "$display" ]]; then
    echo "run-sample: could not start Xvfb" >&2
    exit 1
fi
echo "run-sample: Xvfb running on $display"

export DISPLAY=$display
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

"$viewer" &
viewer_pid=$!

# Wait up to 30 s for the main window, giving up early if the viewer dies.
found=
for _ in $(seq 30); do
    if timeout 1 xdotool search --sync --name "$title" >/dev/null 2>&1; then
        found=1
        break
    fi
    kill -0 "$viewer_pid" 2>/dev/null || break
done
if [[ -z "$found" ]]; then
    if kill -0 "$viewer_pid" 2>/dev/null; then
        echo "run-sample: no window named \"$title\" appeared within 30 s" >&2
    else
        rc=0
        wait "$viewer_pid" || rc=$?
        viewer_pid=
        echo "run-sample: kalvio exited early with status $rc" >&2
    fi
    exit 1
fi

# Give the first page of thumbnails time to draw.
sleep 3

if ! kill -0 "$viewer_pid" 2>/dev/null; then
    echo "run-sample: kalvio exited before the screenshot was taken" >&2
    exit 1
fi

mkdir -p "$(dirname "$shot")"
import -display "$display" -window root "$shot"
echo "$shot"
