#!/usr/bin/env bash
# Configures and builds Kalvio into build/<kind>.
#   scripts/build.sh [Release|Debug|asan|tsan|fuzz]     (default: Release)
# asan is a Debug build with AddressSanitizer and UBSan (-DKALVIO_SANITIZE=ON).
# tsan is a Debug build with ThreadSanitizer (-DKALVIO_TSAN=ON) of the program
# and of what runs under ThreadSanitizer: the pipeline's and its wake-up's
# tests, and the probe that checks tests/tsan.supp hides no race of ours.
# fuzz builds only the picture decoder, its libFuzzer target and the seed
# corpus writer, with clang, ASan and UBSan (-DKALVIO_FUZZ=ON).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:-Release}
targets=()

case "$kind" in
    Release) options=(-DCMAKE_BUILD_TYPE=Release) ;;
    Debug) options=(-DCMAKE_BUILD_TYPE=Debug) ;;
    asan) options=(-DCMAKE_BUILD_TYPE=Debug -DKALVIO_SANITIZE=ON) ;;
    tsan)
        options=(-DCMAKE_BUILD_TYPE=Debug -DKALVIO_TSAN=ON -DKALVIO_BENCH=OFF)
        targets=(--target kalvio tst_pipeline tst_wakechannel wake_race_probe)
        ;;
    fuzz)
        options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKALVIO_FUZZ=ON -DKALVIO_TESTS=OFF -DKALVIO_BENCH=OFF
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
        ;;
    *)
        echo "usage: $0 [Release|Debug|asan|tsan|fuzz]" >&2
        exit 2
        ;;
esac

build_dir="$root/build/$kind"
jobs=$(nproc 2>/dev/null || echo 2)

# Where ccache is installed, rebuilds reuse what any checkout of the project compiled before.
if command -v ccache >/dev/null 2>&1; then
    options+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "${options[@]}"
cmake --build "$build_dir" --parallel "$jobs" "${targets[@]}"
