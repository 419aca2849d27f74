#!/usr/bin/env bash
# The run folder of "simulator.sh run", laid out from a build folder made up for the test (the
# program and the library stand-in files, the build's real sensor files):
#  - a first layout puts the program, the library beside it and every sensor file in place;
#  - after a run (a sensor file written back, the settings store and the board's calibration
#    file written) and a later build (a new program, library and sensor files), a second layout
#    replaces the program and the library, adds a sensor file the run folder lacks, and keeps
#    every sensor file and store file the run folder has;
#  - the program and the library are replaced by new files, so a program still running from the
#    run folder keeps its own;
#  - settings that an earlier start left beside the build's program are taken over once, into a
#    run folder without settings, and never over settings the run folder has.
# Usage: run_folder_test.sh RUN_FOLDER_SCRIPT SENSOR_FILES_FOLDER
set -uo pipefail
script="$1"
sensor_files="$2"

work="$(mktemp -d "${TMPDIR:-/tmp}/run-folder-XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
same() { cmp -s "$1" "$2" || fail "$3"; }

build="$work/build"
run="$work/run"
store="R718G 2XH Simulator"
board="Sensor Simulator"
choice="Panel Sensor Choice"
mkdir -p "$build/panel" "$build/sensor_board" "$build/sensor_images"
echo "program 1" >"$build/panel/Ostrel"
echo "library 1" >"$build/sensor_board/Brannic.so"
cp "$sensor_files"/*.txt "$build/sensor_images/"
count=$(ls "$build/sensor_images" | wc -l)
[ "$count" -eq 15 ] || fail "the build has $count sensor files, not 15"

# First layout.
"$script" "$build" "$run" || fail "the first layout failed"
same "$build/panel/Ostrel" "$run/Ostrel" "the program is not in the run folder"
same "$build/sensor_board/Brannic.so" "$run/Brannic.so" "the library is not beside the program"
for file in "$build"/sensor_images/*.txt; do
    same "$file" "$run/${file##*/}" "sensor file ${file##*/} is not in the run folder"
done
[ ! -e "$run/$store" ] || fail "a first layout made a settings store"

# A run: the library writes a sensor's memory back, the program its settings, the board its
# calibration. A program still running holds the old program and library files.
echo "00 01 02 " >"$run/PH_SelvoP11_0.txt"
echo "settings" >"$run/$store"
echo "board calibration" >"$run/$board"
ln "$run/Ostrel" "$work/running-program"
ln "$run/Brannic.so" "$work/running-library"

# A later build, and the second layout.
echo "program 2" >"$build/panel/Ostrel"
echo "library 2" >"$build/sensor_board/Brannic.so"
echo "ff ff " >"$build/sensor_images/PH_SelvoP11_0.txt"
cp "$build/sensor_images/ReadMe.txt" "$build/sensor_images/NEW_Sensor_0.txt"
rm "$run/DO_SelvoD11_0.txt"
echo "old settings" >"$build/panel/$store"
"$script" "$build" "$run" || fail "the second layout failed"
same "$build/panel/Ostrel" "$run/Ostrel" "the program was not replaced by the new build's"
same "$build/sensor_board/Brannic.so" "$run/Brannic.so" "the library was not replaced by the new build's"
[ "$(cat "$run/PH_SelvoP11_0.txt")" = "00 01 02 " ] || fail "a sensor file written by a run was overwritten"
same "$build/sensor_images/NEW_Sensor_0.txt" "$run/NEW_Sensor_0.txt" "a new sensor file was not added"
same "$build/sensor_images/DO_SelvoD11_0.txt" "$run/DO_SelvoD11_0.txt" "a missing sensor file was not laid out again"
[ "$(cat "$run/$store")" = "settings" ] || fail "the run folder's settings store was replaced"
[ "$(cat "$run/$board")" = "board calibration" ] || fail "the board's calibration file was replaced"
[ "$(cat "$work/running-program")" = "program 1" ] || fail "the running program's file was written into"
[ "$(cat "$work/running-library")" = "library 1" ] || fail "the running library's file was written into"

# Settings left beside the build's program go into a new run folder, once.
echo "old board calibration" >"$build/panel/$board"
echo "8 4187" >"$build/panel/$choice"
"$script" "$build" "$work/fresh" || fail "the layout of a fresh run folder failed"
same "$build/panel/$store" "$work/fresh/$store" "the earlier settings were not taken over"
same "$build/panel/$board" "$work/fresh/$board" "the earlier board calibration was not taken over"
same "$build/panel/$choice" "$work/fresh/$choice" "the earlier sensor choice was not taken over"

# A build without its program: nothing to lay out, and the layout says so.
rm "$build/panel/Ostrel"
if "$script" "$build" "$work/none" 2>/dev/null; then fail "a layout without the program succeeded"; fi

[ "$failures" -eq 0 ] || exit 1
echo "run folder: every check passed"
