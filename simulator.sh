#!/usr/bin/env bash
# Sets up what the build needs (only what is missing), builds, and then either starts the
# simulator ("run") or runs the whole test suite under the sanitizers ("test").
set -euo pipefail
cd "$(dirname "$0")"

mode="${1:-run}"
jobs="$(nproc 2>/dev/null || echo 4)"

# Build tools, test libraries and the formatter; the panel's window toolkit; libpng for the
# display proof sheets; for the panel's test a virtual X display, a mouse driver for it and
# screenshots.
packages=(cmake g++ make libgtest-dev libbenchmark-dev libwxgtk3.2-dev libpng-dev clang-format libx11-dev xvfb xdotool imagemagick)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

case "$mode" in
run)
    install_missing
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVI_TESTS=OFF >/dev/null
    cmake --build build -j "$jobs"
    if [ -x build/panel/Ostrel ]; then
        exec build/panel/Ostrel
    fi
    echo "The panel program was not built (is libwxgtk3.2-dev installed?), so there is nothing to start." >&2
    exit 1
    ;;
test)
    install_missing
    cmake -S . -B build-check -DCMAKE_BUILD_TYPE=Debug -DKORVI_SANITIZE=ON >/dev/null
    cmake --build build-check -j "$jobs"
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    cd build-check
    ctest -j "$jobs" --output-on-failure
    ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
