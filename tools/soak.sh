#!/usr/bin/env bash
# Soak of the panel program, for a developer to run by hand (it takes about three minutes a start):
# starts Ostrel of a sanitizer build, with the sensor-board library beside it, again and again
# from one run folder that stays from start to start as a user's folder does (settings store,
# sensor files, board calibration, channel B's sensor choice), on a virtual X display of its own.
# Each start, for the time given: random clicks and holds on the five keys, texts typed into the
# input fields (numbers, good and bad texts, emptied fields), spin steps, the digital inputs,
# channel B model choices from the list and typed into it (also emptied), ESC, Escape and Return
# on the keyboard, the About box, and now and then a walk through the menus that makes the other
# channel the current one (and may set its kind, channel B's to the optical oxygen sensor), in
# spells at a human pace and spells much faster. Then the window is closed as a window manager
# closes it and the program must end within 10 s.
#
# Recorded per start (in the log folder): exit status and signal, time alive, whether the program
# was gone before the soak closed it, how long the close took, the sanitizer reports (the address
# sanitizer's in files of their own by log_path, the undefined-behaviour sanitizer's in the
# program's output, which is kept and searched too), every action with its time, and the stacks of
# a program that did not end. A table of all starts ends the run, and the exit status is 1 when any
# start ended wrongly (gone before the close, a status other than 0, a signal, no end after the
# close, no window, a sanitizer report). The table also shows channel B's model and the store's
# current channel and kinds at each start ("B:1/9": channel B current, kinds pH/ORP and optical
# oxygen), the times the optical sensor began to be served on the current channel B, and how many
# of those times the program outlived by 45 s.
#
# Usage: tools/soak.sh [BUILD_FOLDER] [STARTS] [SECONDS]        defaults: build 20 120
#   BUILD_FOLDER  configured with -DKORVI_SANITIZE=ON; needs Ostrel, Brannic and wm_close built:
#                 cmake --build BUILD_FOLDER --target Ostrel Brannic wm_close
#   SOAK_LOG=dir  log folder (default BUILD_FOLDER/soak-<date>-<time>)
#   SOAK_SEED=n   seed of the random actions (default from the clock; printed, so a run repeats)
#   SOAK_RUN=dir  run folder to start in (default LOG/run, laid out fresh: a new user's folder)
# Needs Xvfb and xdotool; gdb (optional) for the stacks of a program that does not end.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-build}" 2>/dev/null && pwd)" || { echo "no build folder ${1:-build}" >&2; exit 2; }
starts="${2:-20}"
seconds="${3:-120}"
log="${SOAK_LOG:-$build/soak-$(date +%Y%m%d-%H%M%S)}"
seed="${SOAK_SEED:-$(( $(date +%s) % 32768 ))}"
run="${SOAK_RUN:-$log/run}"
wm_close="$build/tests/wm_close"
close_limit_ms=10000
title='^R718 2roru Simulator$'

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done
for file in "$build/panel/Ostrel" "$build/sensor_board/Brannic.so"; do
    [ -f "$file" ] || { echo "missing $file: cmake --build $build --target Ostrel Brannic wm_close" >&2; exit 2; }
done
grep -q '^KORVI_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null ||
    echo "note: $build is not a KORVI_SANITIZE=ON build; no sanitizer report can come" >&2

mkdir -p "$log" "$run" || exit 2
# The sanitizers write their reports by path from the run folder: both paths are made absolute.
log="$(cd "$log" && pwd)"
run="$(cd "$run" && pwd)"
# A build without the tests has no close helper: it is built here from the test's source.
if [ ! -x "$wm_close" ]; then
    wm_close="$log/wm_close"
    cc -O1 -o "$wm_close" "$here/../tests/panel/wm_close.c" -lX11 ||
        { echo "no $build/tests/wm_close, and it cannot be built here" >&2; exit 2; }
fi
if [ ! -e "$run/Ostrel" ]; then "$here/run_folder.sh" "$build" "$run" || exit 2; fi
RANDOM="$seed"
echo "soak: $starts starts of $seconds s, seed $seed, run folder $run, logs in $log" | tee "$log/soak.txt"

xvfb_pid="" app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_display() {
    rm -f "$log/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$log/display" >"$log/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ -s "$log/display" ] && break
        sleep 0.1
    done
    [ -s "$log/display" ] || { echo "Xvfb did not start: $(cat "$log/xvfb.log")" >&2; exit 2; }
    DISPLAY=":$(head -n1 "$log/display")"
    export DISPLAY
}
unset WAYLAND_DISPLAY
export NO_AT_BRIDGE=1

now_ms() { date +%s%3N; }
rand() { echo $(( RANDOM % $1 )); }          # 0 ... n-1
between() { echo $(( $1 + RANDOM % ($2 - $1 + 1) )); }
pick() { local a=("$@"); echo "${a[RANDOM % ${#a[@]}]}"; }

# The program counts as gone once its process is gone or a zombie.
alive() {
    local state
    state="$(awk '{print $3}' "/proc/$app_pid/stat" 2>/dev/null)" || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}
gone_ms=""
# Sleeps that many ms in short slices; false (and the time noted) as soon as the program is gone.
pause() {
    local left="$1" slice
    while [ "$left" -gt 0 ]; do
        if ! alive; then
            [ -n "$gone_ms" ] || gone_ms="$(now_ms)"
            return 1
        fi
        slice=$(( left < 200 ? left : 200 ))
        sleep "$(printf '0.%03d' "$slice")"
        left=$(( left - slice ))
    done
    alive || { [ -n "$gone_ms" ] || gone_ms="$(now_ms)"; return 1; }
}

# Window coordinates of the panel (client area at the window's origin; no window manager).
key_from_x=(162 231 303 373 444)
key_below_x=(219 290 360 431 501)
key_names=(MENU CAL UP INFO ENTER)
# Input fields: channel A column, channel B column, rows; the analog input beside.
field_x=(752 960)
row_y=(121 161 201 241)
row_names=(primary temperature Rg Rr)
spin_minus_x=(812 1020)
spin_plus_x=(847 1055)
models=("SelvoP11" "SelvoP12" "SelvoN11" "SelvoK11" "SelvoD11" "SelvoD12" "SelvoD13 G" "SelvoD14" "SelvoP11(2)"
    "SelvoQ11" "SelvoQ12" "SelvoC11")
good_texts=("0" "0.00" "7" "59.16" "-59.16" "177.5" "-414" "1500" "3000" "-3000" "1097.4" "1000" "25.0" "100.00"
    "30.00" "2.2M" "30K" "470K" "12" "20" "4" "0.5" "-0.01" "1e3" "999.99" "1000000" "12.5K")
bad_texts=("abc" "12abc" "1.2.3" "--5" "+" "-" "." "NaN" "nan" "inf" "-inf" "1e999" "1e-999" "99999999999999999999"
    "0x1F" " 7" "7 " "M" "K" "12MK" "1,5" "ÄÖÜ" "°C" "µS" "\\" "%s%s%n" "'\"" "0.00000000000000000001")

act_log=""
t0=0
note() { printf '%7.1f  %s\n' "$(awk -v t="$(now_ms)" -v s="$t0" 'BEGIN {print (t - s) / 1000}')" "$*" >>"$act_log"; }
click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1 2>/dev/null; }

act_key() {
    local k; k=$(rand 5)
    local x; x=$(between "${key_from_x[k]}" $(( ${key_below_x[k]} - 1 )))
    local y; y=$(between 384 439)
    xdotool mousemove --window "$window" "$x" "$y" 2>/dev/null
    if [ "$(rand 6)" = 0 ]; then
        local hold; hold=$(between 500 3000)
        note "hold ${key_names[k]} ${hold} ms"
        xdotool mousedown 1 2>/dev/null
        pause "$hold"
        xdotool mouseup 1 2>/dev/null
    else
        note "click ${key_names[k]}"
        xdotool click 1 2>/dev/null
    fi
}

act_field_text() {
    local x y name
    if [ "$(rand 9)" = 0 ]; then
        x=999 y=429 name="Analog Ain"
    else
        local c r; c=$(rand 2); r=$(rand 4)
        x=${field_x[c]} y=${row_y[r]} name="$( [ "$c" = 0 ] && echo A || echo B ) ${row_names[r]}"
    fi
    local text how
    case $(rand 10) in
    0 | 1 | 2 | 3 | 4) text="$(pick "${good_texts[@]}")" ;;
    5 | 6 | 7) text="$(pick "${bad_texts[@]}")" ;;
    8) text="$(between 0 99999).$(between 0 99)" ;;
    9) text="" ;;
    esac
    click_at "$x" "$y"
    case $(rand 4) in
    0) how="appended" ;;
    *) how="replacing"; xdotool key ctrl+a BackSpace 2>/dev/null ;;
    esac
    [ -n "$text" ] && xdotool type --delay "$(between 5 120)" -- "$text" 2>/dev/null
    note "field $name: $how \"$text\""
    case $(rand 4) in
    0) xdotool key Return 2>/dev/null; note "  Return" ;;
    1) xdotool key Tab 2>/dev/null; note "  Tab" ;;
    esac
}

act_spin() {
    local c r n sign x
    c=$(rand 2); r=$(rand 4); n=$(between 1 6)
    if [ "$(rand 2)" = 0 ]; then sign=- x=${spin_minus_x[c]}; else sign=+ x=${spin_plus_x[c]}; fi
    note "spin $( [ "$c" = 0 ] && echo A || echo B ) ${row_names[r]} ${sign} x$n"
    for _ in $(seq 1 "$n"); do
        click_at "$x" "${row_y[r]}"
        sleep "0.0$(between 3 9)"
    done
}

# The optical oxygen sensor in the library while channel B is the current channel: the firmware
# then talks to it and announces it some 40 s later. The times (s after the start) it began so.
optical_at="" model_now="" channel_now="" optical_now=0
note_optical() {
    local now=0
    case "$model_now" in SelvoQ1*) [ "$channel_now" = B ] && now=1 ;; esac
    if [ "$now" = 1 ] && [ "$optical_now" = 0 ]; then
        optical_at="${optical_at} $(( ($(now_ms) - t0) / 1000 ))"
        note "  optical sensor on the current channel B from now"
    fi
    optical_now="$now"
}
# Channel B's model list: the popup lies below the combo; its items share its height.
act_model_list() {
    # One choice in four is an optical oxygen sensor (entries 9 and 10), the others any entry.
    local i; i=$(rand ${#models[@]})
    [ "$(rand 4)" = 0 ] && i=$(between 9 10)
    click_at 1057 72
    sleep "0.$(between 3 6)"
    local popup="" geometry
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        geometry="$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)" || continue
        local WIDTH="" HEIGHT="" X="" Y=""
        eval "$geometry"
        if [ "$WIDTH" -ge 120 ] && [ "$WIDTH" -le 200 ] && [ "$HEIGHT" -ge 200 ]; then popup="$X $Y $HEIGHT"; fi
    done
    if [ -z "$popup" ]; then
        note "model list did not open"
        xdotool key Escape 2>/dev/null
        return
    fi
    read -r px py ph <<<"$popup"
    local item=$(( (ph - 8) / ${#models[@]} ))
    xdotool mousemove $(( px + 40 )) $(( py + 4 + item * i + item / 2 )) click 1 2>/dev/null
    note "model ${models[i]} from the list"
    model_now="${models[i]}"
    note_optical
}

act_model_typed() {
    click_at 980 72
    xdotool key ctrl+a BackSpace 2>/dev/null
    local text
    case $(rand 3) in
    0) text="" ;;
    1) text="$(pick "${models[@]}")" ;;
    2) text="$(pick "${bad_texts[@]}")" ;;
    esac
    [ -n "$text" ] && xdotool type --delay 30 -- "$text" 2>/dev/null
    note "model typed \"$text\""
    # An emptied list is no sensor; a typed name chooses nothing.
    [ -z "$text" ] && model_now=none
    [ "$(rand 2)" = 0 ] && { xdotool key Return 2>/dev/null; note "  Return"; }
}

act_digital() {
    local x y; x=$(pick 690 771); y=$(pick 316 352)
    note "digital input $( [ "$y" = 316 ] && echo DIn1 || echo DIn2 ) $( [ "$x" = 690 ] && echo Low || echo High )"
    click_at "$x" "$y"
}

act_esc() { note "ESC button"; click_at 40 411; }

act_keyboard() {
    local key; key="$(pick Escape Return KP_Enter Tab space Escape)"
    note "keyboard $key"
    xdotool key "$key" 2>/dev/null
}

act_somewhere() {
    local x y; x=$(between 0 1143); y=$(between 0 589)
    # Not on the About button, which has an action of its own.
    if [ "$y" -ge 540 ] && [ "$x" -ge 600 ]; then y=500; fi
    note "click at $x,$y"
    click_at "$x" "$y"
}

act_about() {
    note "About"
    click_at 865 563
    local about=""
    for _ in $(seq 1 25); do
        about="$(xdotool search --all --onlyvisible --pid "$app_pid" --name '^About R718 2roru Simulator$' 2>/dev/null | head -n1)"
        [ -n "$about" ] && break
        pause 200 || return
    done
    [ -n "$about" ] || { note "  no About box"; return; }
    pause "$(between 300 2000)" || return
    if [ "$(rand 2)" = 0 ]; then
        "$wm_close" "$about" 2>/dev/null
        note "  About closed by the window manager"
    else
        xdotool windowfocus "$about" key Return 2>/dev/null
        note "  About closed by Return"
    fi
    for _ in $(seq 1 25); do
        xdotool search --all --onlyvisible --pid "$app_pid" --name '^About R718 2roru Simulator$' >/dev/null 2>&1 || return
        pause 200 || return
    done
    note "  About box stays; closed by the window manager"
    "$wm_close" "$about" 2>/dev/null
}

# The settings store's bytes of the current channel (0 A, 1 B) and of the two channels' kinds.
store_channels() {
    local store="$run/R718G 2XH Simulator" channel kinds
    channel="$(od -An -tu1 -j122 -N1 "$store" 2>/dev/null | tr -d ' ')"
    kinds="$(od -An -tu1 -j1664 -N2 "$store" 2>/dev/null | awk '{print $1 "/" $2}')"
    case "$channel" in 0) channel=A ;; 1) channel=B ;; "") channel=- ;; esac
    echo "${channel}:${kinds:--}"
}

press_key() {  # key index; a click and the time the firmware takes for it
    click_at $(( (${key_from_x[$1]} + ${key_below_x[$1]}) / 2 )) 412
    pause 350
}

# The way a user makes the other channel the current one: ESC home, MENU, "Configure",
# "Measurement", "Channel Setup", the channel stepped; the channel's kind stepped too, or set to the
# optical oxygen sensor (six steps on channel B), or left; then "Save Changes" "Yes & Exit". The
# walk is blind: when random keys changed the menus (a password, another language) it does other
# things, and the store shows what came of it.
act_walk_channel() {
    local steps=-1 what="the other channel"
    case $(rand 4) in
    0 | 1) steps=6 what="the other channel, kind stepped 6 (O2 Opt on channel B)" ;;
    2) steps=$(rand 9) what="the other channel, kind stepped $steps" ;;
    esac
    note "menu walk to $what; store before $(store_channels)"
    click_at 40 411
    pause 1500 || return
    local k
    for k in 0 2 4 4 4 2; do press_key "$k" || return; done
    if [ "$steps" -ge 0 ]; then
        press_key 1 || return
        for _ in $(seq 1 "$steps"); do press_key 2 || return; done
    fi
    for _ in 1 2 3 4; do press_key 4 || return; done
    pause 2000 || return
    local after; after="$(store_channels)"
    note "  store after the walk $after (current channel:kind A/kind B)"
    channel_now="${after%%:*}"
    note_optical
}

act_once() {
    local r; r=$(rand 100)
    if [ "$r" -lt 33 ]; then act_key
    elif [ "$r" -lt 54 ]; then act_field_text
    elif [ "$r" -lt 64 ]; then act_spin
    elif [ "$r" -lt 75 ]; then act_model_list
    elif [ "$r" -lt 79 ]; then act_model_typed
    elif [ "$r" -lt 84 ]; then act_digital
    elif [ "$r" -lt 88 ]; then act_esc
    elif [ "$r" -lt 91 ]; then act_keyboard
    elif [ "$r" -lt 94 ]; then act_somewhere
    elif [ "$r" -lt 98 ]; then
        # The firmware takes keys once it has waited its 14 s for the sensor board.
        if [ $(( $(now_ms) - t0 )) -ge 16000 ]; then act_walk_channel; else act_key; fi
    else act_about
    fi
}

signal_name() { [ "$1" -gt 128 ] && [ "$1" -lt 160 ] && kill -l $(( $1 - 128 )) 2>/dev/null || echo "-"; }
# Channel B's model the panel hands the library at a start: its record of the entry chosen when
# that entry is of the model the settings store holds for channel B, else the first entry of that
# model (of the default model while the store is new).
model_numbers=(4187 4188 4190 4195 4200 4201 4202 4203 4187 4210 4211 4220)
model_at_start() {
    local store="$run/R718G 2XH Simulator" stored=4187 index i
    if [ "$(od -An -c -j6 -N2 "$store" 2>/dev/null | tr -d ' ')" = K2 ]; then
        stored="$(od -An -tu4 -j454 -N4 --endian=little "$store" | tr -d ' ')"
    fi
    index="$(awk 'NR == 1 && $2 == '"$stored"' {print $1}' "$run/Panel Sensor Choice" 2>/dev/null)"
    if ! [[ "$index" =~ ^[0-9]+$ ]] || [ "$index" -ge ${#models[@]} ]; then
        index=""
        for i in "${!model_numbers[@]}"; do
            [ "${model_numbers[i]}" = "$stored" ] && { index=$i; break; }
        done
    fi
    if [ -n "$index" ]; then echo "${models[index]}"; else echo "model $stored"; fi
}

# Per start: channel B's model and the store's current channel and kinds at the start, the times
# the optical sensor began to be served on the current channel B, and how many of those times the
# program lived 45 s past.
row_format='%-5s %-11s %-7s %-6s %-7s %-8s %-8s %-8s %-7s %-7s %-14s %-8s %s\n'
printf "$row_format" start model_B store status signal alive_s vanished close_ms reports actions optical_at lived_45 verdict \
    >"$log/summary.txt"
cat "$log/summary.txt"
wrong=0
start_display
for n in $(seq 1 "$starts"); do
    dir="$log/start-$(printf '%02d' "$n")"
    mkdir -p "$dir"
    act_log="$dir/actions.log"
    : >"$act_log"
    kill -0 "$xvfb_pid" 2>/dev/null || start_display
    model="$(model_at_start)"
    at_start="$(store_channels)"
    model_now="$model" channel_now="${at_start%%:*}" optical_now=0
    export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:abort_on_error=1:log_path=$dir/asan"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$dir/ubsan"
    gone_ms="" window="" actions=0 close_ms="-" verdict=ok problems=""
    t0="$(now_ms)"
    (cd "$run" && exec ./Ostrel) >"$dir/output.log" 2>&1 &
    app_pid=$!
    optical_at=""
    note "started, pid $app_pid, channel B model $model, store $at_start (current channel:kind A/kind B)"
    note_optical
    window="$(timeout 60 xdotool search --all --sync --onlyvisible --pid "$app_pid" --name "$title" 2>/dev/null | head -n1)"
    if [ -z "$window" ]; then
        alive || gone_ms="${gone_ms:-$(now_ms)}"
        problems+="no window; "
    else
        note "window $window"
        fast=0 spell_end=0
        while [ $(( $(now_ms) - t0 )) -lt $(( seconds * 1000 )) ]; do
            if [ "$(now_ms)" -ge "$spell_end" ]; then
                fast=$(( RANDOM % 3 == 0 ))
                spell_end=$(( $(now_ms) + $(between 5000 20000) ))
                note "spell: $( [ "$fast" = 1 ] && echo fast || echo human-paced )"
            fi
            alive || { gone_ms="${gone_ms:-$(now_ms)}"; break; }
            act_once
            actions=$(( actions + 1 ))
            if [ "$fast" = 1 ]; then pause "$(between 20 150)" || break; else pause "$(between 300 2500)" || break; fi
        done
    fi
    # A list or box an action left open goes before the close.
    xdotool key Escape 2>/dev/null
    if [ -z "$gone_ms" ] && alive; then
        pause 300
    fi
    if [ -z "$gone_ms" ] && alive && [ -n "$window" ]; then
        note "close by the window manager"
        closed_at="$(now_ms)"
        "$wm_close" "$window" 2>/dev/null || problems+="close request not sent; "
        while alive && [ $(( $(now_ms) - closed_at )) -lt "$close_limit_ms" ]; do sleep 0.05; done
        if alive; then
            problems+="still running ${close_limit_ms} ms after the close; "
            command -v gdb >/dev/null &&
                timeout 60 gdb -p "$app_pid" -batch -ex "thread apply all bt" >"$dir/stacks.txt" 2>&1
            kill -KILL "$app_pid" 2>/dev/null
        fi
        close_ms=$(( $(now_ms) - closed_at ))
        end_ms="$(now_ms)"
    elif [ -z "$window" ] && alive; then
        kill -KILL "$app_pid" 2>/dev/null
        end_ms="$(now_ms)"
    else
        end_ms="${gone_ms:-$(now_ms)}"
        problems+="gone before the close; "
        note "the program was gone"
    fi
    wait "$app_pid"
    status=$?
    app_pid=""
    # A program whose display went away ends with it: that is the display's fault, not its own.
    kill -0 "$xvfb_pid" 2>/dev/null || problems+="the virtual display had ended; "
    note "ended with status $status"
    alive_s="$(awk -v t="$end_ms" -v s="$t0" 'BEGIN {printf "%.1f", (t - s) / 1000}')"
    signal="$(signal_name "$status")"
    [ "$status" = 0 ] || problems+="status $status; "
    reports=0
    for f in "$dir"/asan.* "$dir"/ubsan.*; do [ -s "$f" ] && reports=$(( reports + 1 )); done
    grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|terminate called|Assertion .* failed|wxWidgets Debug' \
        "$dir/output.log" && reports=$(( reports + 1 ))
    [ "$reports" = 0 ] || problems+="sanitizer or runtime report; "
    vanished=no
    case "$problems" in *"gone before the close"*) vanished=yes ;; esac
    if [ -n "$problems" ]; then verdict="WRONG: ${problems%; }"; wrong=$(( wrong + 1 )); fi
    lived=0
    for t in $optical_at; do
        [ $(( end_ms - t0 - t * 1000 )) -ge 45000 ] && lived=$(( lived + 1 ))
    done
    optical_list="$(echo $optical_at | tr ' ' ',')"
    printf "$row_format" "$n" "${model// /_}" "$at_start" "$status" "$signal" "$alive_s" "$vanished" "$close_ms" \
        "$reports" "$actions" "${optical_list:--}" "$lived/$(echo $optical_at | wc -w)" "$verdict" |
        tee -a "$log/summary.txt"
done

echo
cat "$log/summary.txt"
echo
if [ "$wrong" = 0 ]; then
    echo "soak: all $starts starts ended as they should (logs in $log)" | tee -a "$log/soak.txt"
    exit 0
fi
echo "soak: $wrong of $starts starts ended wrongly (logs in $log)" | tee -a "$log/soak.txt"
exit 1
