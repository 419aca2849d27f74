#!/usr/bin/env bash
# The panel program on a virtual X display, once with the sensor-board library beside the
# program and once in single-file mode (the library unpacked from the program itself):
#  - starts it in a fresh folder with TMPDIR pointing at a fresh folder of its own;
#  - waits for the window by its title, and sees no OpenGL library loaded;
#  - holds the left button on MENU and sees the key drawn pushed in (the press reached the key),
#    and drawn up again after the release;
#  - presses Return in an edit and sees the panel stay;
#  - with the display drawing built: sees the display drawn (not blank); with the menus built
#    too: waits for the home screen (dots above the status and message rows), clicks MENU and
#    sees the display change to a screen that is not blank, then types an electrode potential
#    into channel A's primary edit and sees the value on the display change, and types letters
#    into it and sees the value stay;
#  - single-file mode: while it runs, the library lies unpacked in its own folder under TMPDIR;
#  - closes the window as a window manager does and requires the program to end within 6 s
#    with status 0, leaving nothing under TMPDIR, and the settings store beside the program.
# Usage: gui_test.sh --ostrel PATH --wm-close PATH [--library PATH] [--expect-display]
#        [--expect-menu]
set -uo pipefail

ostrel="" wm_close="" library="" expect_display=0 expect_menu=0
while [ $# -gt 0 ]; do
    case "$1" in
    --ostrel) ostrel="$2"; shift 2 ;;
    --wm-close) wm_close="$2"; shift 2 ;;
    --library) library="$2"; shift 2 ;;
    --expect-display) expect_display=1; shift ;;
    --expect-menu) expect_menu=1; shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
for tool in Xvfb xdotool import convert compare; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed" >&2; exit 1; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/panel-gui-XXXXXX")"
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill -KILL "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/app.log" ] && { echo "--- program output:" >&2; cat "$work/app.log" >&2; }
    exit 1
}

# A display of our own: Xvfb picks a free number and tells it on fd 3.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY GDK_GL
# Leak reports would be the toolkit's, not ours; every other sanitizer check stays on.
export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:abort_on_error=1"
export NO_AT_BRIDGE=1

# Client coordinates of the display image and the MENU key.
lcd_geometry="340x228+159+111"
lcd_top_geometry="340x176+159+111"   # rows 0 to 10, above the status and message rows
menu_geometry="58x60+161+382"

shot() {  # window, file, geometry
    import -window "$1" "$work/full.png" 2>/dev/null || return 1
    convert "$work/full.png" -crop "$3" +repage "$2"
}
colours() { convert "$1" -format "%k" info:; }
differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# Dark dots in an image: pixels below a tenth of full brightness.
dark_pixels() { convert "$1" -colorspace Gray -threshold 10% -negate -format "%[fx:round(mean*w*h)]" info:; }
# Waits up to that many seconds for more than 100 dark dots in a part of the window.
wait_dark() {  # window, file, geometry, seconds
    for _ in $(seq 1 "$4"); do
        shot "$1" "$2" "$3"
        [ "$(dark_pixels "$2")" -gt 100 ] && return 0
        sleep 1
    done
    return 1
}

# Waits up to that many seconds until two shots of a part of the window a second apart agree;
# the file holds the last.
wait_steady() {  # window, file, geometry, seconds
    shot "$1" "$2" "$3"
    for _ in $(seq 1 "$4"); do
        sleep 1
        shot "$1" "$2.next.png" "$3"
        if [ "$(differing "$2" "$2.next.png")" -lt 20 ]; then return 0; fi
        mv "$2.next.png" "$2"
    done
    return 1
}

run_mode() {
    local mode="$1"
    local folder="$work/$mode/program" tmp="$work/$mode/tmp"
    mkdir -p "$folder" "$tmp"
    cp "$ostrel" "$folder/Ostrel"
    if [ "$mode" = beside ]; then
        if [ -n "$library" ]; then cp "$library" "$folder/Brannic.so"; else : >"$folder/Brannic.so"; fi
    fi
    echo "== $mode: starting $folder/Ostrel"
    (cd "$work" && TMPDIR="$tmp" exec "$folder/Ostrel") >"$work/app.log" 2>&1 &
    app_pid=$!

    local window
    window="$(timeout 60 xdotool search --sync --onlyvisible --name '^R718 2roru Simulator$' 2>/dev/null | head -n1)"
    [ -n "$window" ] || fail "$mode: no panel window within 60 s"
    kill -0 "$app_pid" 2>/dev/null || fail "$mode: the program ended at start"
    sleep 1
    # The panel draws in plain 2-D: no OpenGL stack (a software renderer here) is loaded for it.
    if grep -qE '/libGLX?\.so|/libEGL\.so|/dri/' "/proc/$app_pid/maps"; then
        fail "$mode: the toolkit loaded an OpenGL stack: $(grep -oE '[^/ ]*(GL|dri)[^/ ]*\.so[.0-9]*' "/proc/$app_pid/maps" | sort -u | tr '\n' ' ')"
    fi

    if [ "$mode" = single ]; then
        local unpacked
        unpacked="$(find "$tmp" -mindepth 2 -maxdepth 2 -name Brannic.so | head -n1)"
        [ -n "$unpacked" ] || fail "single: no unpacked library under TMPDIR"
        [ "$(stat -c %a "$(dirname "$unpacked")")" = 700 ] || fail "single: the unpacked folder is not private"
        cmp -s "$unpacked" "$library" || fail "single: the unpacked library differs from the built one"
    fi

    # The press reaches the key: MENU is drawn pushed in while the button is held.
    shot "$window" "$work/menu-up.png" "$menu_geometry" || fail "$mode: no screenshot"
    xdotool mousemove --window "$window" 190 412
    xdotool mousedown 1
    sleep 0.4
    shot "$window" "$work/menu-down.png" "$menu_geometry"
    xdotool mouseup 1
    [ "$(differing "$work/menu-up.png" "$work/menu-down.png")" -gt 50 ] || fail "$mode: MENU is not drawn pressed"
    sleep 0.4
    shot "$window" "$work/menu-again.png" "$menu_geometry"
    [ "$(differing "$work/menu-up.png" "$work/menu-again.png")" -lt 50 ] || fail "$mode: MENU stays pressed"

    # Return in an edit does not end the panel.
    xdotool mousemove --window "$window" 750 120 click 1
    xdotool key Return
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null && xdotool search --onlyvisible --name '^R718 2roru Simulator$' >/dev/null ||
        fail "$mode: Return in an edit closed the panel"

    if [ "$expect_display" = 1 ]; then
        # The firmware draws from its start: the display is not blank.
        wait_dark "$window" "$work/lcd.png" "$lcd_geometry" 30 || fail "$mode: the display stays blank"
        if [ "$expect_menu" = 1 ]; then
            # The home screen comes after the 14-s wait for the sensor board and fills the rows
            # above the status and message rows.
            wait_dark "$window" "$work/top.png" "$lcd_top_geometry" 60 ||
                fail "$mode: the display shows no home screen within 60 s"
            sleep 1
            shot "$window" "$work/home.png" "$lcd_geometry"
            xdotool mousemove --window "$window" 190 412 click 1
            local changed=0
            for _ in $(seq 1 20); do
                sleep 0.25
                shot "$window" "$work/after.png" "$lcd_geometry"
                if [ "$(differing "$work/home.png" "$work/after.png")" -gt 200 ]; then changed=1; break; fi
            done
            [ "$changed" = 1 ] || fail "$mode: MENU did not change the display"
            [ "$(dark_pixels "$work/after.png")" -gt 100 ] || fail "$mode: the menu screen is blank"
            # Typing an electrode potential into channel A's primary edit changes the value shown.
            shot "$window" "$work/value-before.png" "$lcd_top_geometry"
            xdotool mousemove --window "$window" 750 120 click --repeat 3 1
            xdotool key ctrl+a
            xdotool type 59.16
            changed=0
            for _ in $(seq 1 40); do
                sleep 0.25
                shot "$window" "$work/value-after.png" "$lcd_top_geometry"
                if [ "$(differing "$work/value-before.png" "$work/value-after.png")" -gt 100 ]; then changed=1; break; fi
            done
            [ "$changed" = 1 ] || fail "$mode: typing an input did not change the value shown"
            # Letters typed into the same edit are refused: the value in use stays, and so does
            # the display once the value has settled.
            wait_steady "$window" "$work/settled.png" "$lcd_top_geometry" 30 ||
                fail "$mode: the value shown does not settle"
            xdotool key ctrl+a
            xdotool type abc
            sleep 3
            shot "$window" "$work/refused.png" "$lcd_top_geometry"
            [ "$(differing "$work/settled.png" "$work/refused.png")" -lt 50 ] ||
                fail "$mode: letters typed into an input changed the value shown"
        else
            echo "   (menus not built: the home screen and MENU's effect are not checked)"
        fi
    else
        echo "   (display drawing not built: the display area is not checked)"
    fi

    # Close as a window manager does; the program must be gone within 6 s.
    "$wm_close" "$window" || fail "$mode: cannot send the close request"
    local start end status
    start=$(date +%s%N)
    for _ in $(seq 1 60); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app_pid" 2>/dev/null; then fail "$mode: still running 6 s after the close request"; fi
    wait "$app_pid"
    status=$?
    app_pid=""
    end=$(date +%s%N)
    [ "$status" = 0 ] || fail "$mode: exit status $status"
    echo "   ended $(( (end - start) / 1000000 )) ms after the close request"
    [ -z "$(ls -A "$tmp")" ] || fail "$mode: left behind under TMPDIR: $(ls -A "$tmp")"
    [ "$(stat -c %s "$folder/R718G 2XH Simulator" 2>/dev/null)" = 4096 ] ||
        fail "$mode: no settings store beside the program"
    echo "   $mode: passed"
}

run_mode beside
if [ -n "$library" ]; then
    run_mode single
else
    echo "== single: skipped, the sensor-board library is not built"
fi
echo "panel GUI test passed"
