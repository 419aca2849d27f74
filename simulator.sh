#!/usr/bin/env bash
# Sets up what the build needs (only what is missing), builds, and then either starts the
# simulator ("run") or runs the whole test suite under the sanitizers ("test").
set -euo pipefail
cd "$(dirname "$0")"

mode="${1:-run}"
jobs="$(nproc 2>/dev/null || echo 4)"

# Build tools, test libraries and the formatter; the panel's window toolkit; libpng for the
# display proof sheets; for the panel's test a virtual X display, a mouse driver for it and
# screenshots; clang with its sanitizer and fuzzer runtimes for the fuzzing stage.
packages=(cmake g++ make libgtest-dev libbenchmark-dev libwxgtk3.2-dev libpng-dev clang-format libx11-dev xvfb xdotool imagemagick clang libclang-rt-dev librapidcheck-dev)

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
    if [ ! -x build/panel/Ostrel ]; then
        echo "The panel program was not built (is libwxgtk3.2-dev installed?), so there is nothing to start." >&2
        exit 1
    fi
    # The program runs from run/, the library beside it and the sensor files in its working
    # folder: the library writes the digital sensors' memories back into those files, and they,
    # the settings and the board's calibration stay there over restarts and builds.
    tools/run_folder.sh build run
    cd run
    exec ./Ostrel
    ;;
test)
    install_missing
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    # 1. gcc with AddressSanitizer and UndefinedBehaviorSanitizer: the whole suite, the panel
    #    program on a virtual display, the fuzz corpora replayed.
    echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
    cmake -S . -B build-check -DCMAKE_BUILD_TYPE=Debug -DKORVI_SANITIZE=ON >/dev/null
    cmake --build build-check -j "$jobs"
    (cd build-check && ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1" \
        ctest -j "$jobs" --output-on-failure)
    # 2. gcc with ThreadSanitizer: the unit tests in one process, and the panel program's
    #    scripted run (start, keys, typed inputs, close) with its firmware, timer and library
    #    threads; any report fails.
    echo "== ThreadSanitizer"
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DKORVI_SANITIZE_THREAD=ON >/dev/null
    cmake --build build-tsan -j "$jobs" --target unit_tests
    tsan_tests='^unit_tests_in_one_process$'
    if (cd build-tsan && ctest -N -R '^panel_gui$' | grep -q 'Total Tests: 1'); then
        cmake --build build-tsan -j "$jobs" --target Ostrel Brannic wm_close
        tsan_tests='^(unit_tests_in_one_process|panel_gui)$'
    fi
    (cd build-tsan && ctest -R "$tsan_tests" --output-on-failure)
    # 3. clang: the sensor-board library linked with the sanitizers, and every fuzz target fuzzed
    #    for a bounded time.
    if command -v clang++ >/dev/null 2>&1; then
        echo "== clang: the library with the sanitizers, fuzzing"
        cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
            -DKORVI_SANITIZE=ON -DKORVI_FUZZ=ON -DKORVI_PANEL=OFF >/dev/null
        cmake --build build-fuzz -j "$jobs" --target Brannic brannic_fuzz reply_fuzz store_fuzz calibration_fuzz \
            fields_fuzz
        (cd build-fuzz && ctest -j 3 -R '^fuzz_.*_run$' --output-on-failure)
    else
        echo "== clang is not installed: no fuzzing"
    fi
    ;;
*)
    echo "usage: $0 [run|test]" >&2
    exit 2
    ;;
esac
