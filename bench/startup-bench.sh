#!/bin/sh
# Start-up time of the IDE to its first painted window with the tool windows docked, beside the
# same start with docking off; fails when the docking adds more than 30%.
# Usage: bench/startup-bench.sh [BUILD_DIR]   (default build/bench, a Release build with
# -DZENTU_BUILD_BENCH=ON, as `make bench` makes it). With DISPLAY set the starts run on that X
# server (e.g. an Xvfb), otherwise on Qt's offscreen platform.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
cmake --build "$build" -j "${JOBS:-2}" --target bench_startup
if [ -n "${DISPLAY:-}" ]; then
    platform=xcb
else
    platform=offscreen
fi
QT_QPA_PLATFORM=$platform QTWEBENGINE_DISABLE_SANDBOX=1 "$build/bench/bench_startup"
