#!/usr/bin/env bash
# Lays out the folder the simulator runs in: the program with the sensor-board library beside
# it, so that the library reads the digital sensors' memories from the sensor files in the
# working folder and writes every change back into them; the settings store, the sensor board's
# calibration file and the panel's record of the sensor model chosen are kept there too, beside
# the program.
#
# Usage: run_folder.sh BUILD_FOLDER RUN_FOLDER
# Every call puts the build's program and library in place; the sensor files are copied only
# where the run folder has none of that name, so what the sensors keep survives later builds.
# Settings an earlier start of BUILD_FOLDER/panel/Ostrel left beside it are taken over once,
# into a run folder that has none yet.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 BUILD_FOLDER RUN_FOLDER" >&2; exit 2; }
build="$1"
run="$2"

mkdir -p "$run"
# New files, never written into: a program still running from the run folder keeps its own.
cp --remove-destination "$build/panel/Ostrel" "$run/Ostrel"
cp --remove-destination "$build/sensor_board/Brannic.so" "$run/Brannic.so"
for file in "$build"/sensor_images/*.txt; do
    [ -e "$run/${file##*/}" ] || cp "$file" "$run/"
done
for file in "R718G 2XH Simulator" "Sensor Simulator" "Panel Sensor Choice"; do
    if [ -f "$build/panel/$file" ] && [ ! -e "$run/$file" ]; then
        cp "$build/panel/$file" "$run/$file"
    fi
done
