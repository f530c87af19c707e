#!/bin/bash
# The crash recovery of the real program, the way it happens: the program runs on a project
# under Xvfb, a person adds a text through the window (clicks and typing with xdotool), the
# autosave keeps it, the program is killed with SIGKILL, and the next start offers the work:
# Yes restores it, modified, under the project's own name; saved, the file holds the text; a
# clean exit then leaves no recovery files.
#
#   crash_recovery_test.sh ZENTRAVO ZENTRAVO_CLI PROJECT.vrn [SCREENSHOT_FOLDER]
set -euo pipefail
app=$1 cli=$2 project=$3 shots=${4:-}
text="Recovered words"

work=$(mktemp -d "${TMPDIR:-/tmp}/zentravo-crash.XXXXXX")
xvfb=
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "crash_recovery_test: $*" >&2; exit 1; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1; shift
    local end=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.2
    done
}
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png"; }

# The program in a folder of its own, so that its Data folder is this test's.
mkdir -p "$work/program" "$work/runtime"
chmod 700 "$work/runtime"
cp "$app" "$work/program/zentravo"
cp "$project" "$work/project.vrn"
data="$work/program/Data"
export XDG_RUNTIME_DIR="$work/runtime" ZENTRAVO_AUTOSAVE_MS=500
export QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=0 QT_SCALE_FACTOR=1 QT_FONT_DPI=96
unset WAYLAND_DISPLAY

# A display of our own: Xvfb picks a free number and writes it to fd 3.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
wait_for 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# The window whose title is exactly $1, once it shows.
window_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
has_window() { [ -n "$(window_titled "$1")" ]; }
click() { # window x y: a press and a release where a person clicks
    xdotool mousemove --window "$1" "$2" "$3" mousedown 1 sleep 0.1 mouseup 1
    sleep 0.3
}
keys() { # window keys...: typed to the window that has the keyboard focus
    local window=$1; shift
    xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
    xdotool key --delay 80 "$@"
    sleep 0.3
}

# ---- first run: edit, autosave, SIGKILL -------------------------------------------------
"$work/program/zentravo" "$work/project.vrn" >"$work/first.log" 2>&1 &
pids+=($!)
first=$!
title="Zentravo  -  Sunny Day"
wait_for 30 has_window "$title" || fail "the first run showed no window"
main=$(window_titled "$title")
# The text panel's edit box and its Apply button (the 1100 x 760 window's layout).
click "$main" 995 110
xdotool type --delay 60 "$text"
click "$main" 1044 436
wait_for 10 has_window "$title \\*" || fail "the text did not reach the project"
# The autosave keeps it (every 500 ms here).
kept() { grep -lq "$text" "$data"/Recovery/*/project.vrn 2>/dev/null; }
wait_for 20 kept || fail "no autosave holds the text"
shot edited
kill -KILL "$first"
wait "$first" 2>/dev/null || true
[ -n "$(ls "$XDG_RUNTIME_DIR"/*.lock 2>/dev/null)" ] || fail "the killed run left no lock"

# ---- second run: the question, Yes, save --------------------------------------------------
"$work/program/zentravo" >"$work/second.log" 2>&1 &
pids+=($!)
second=$!
wait_for 30 has_window "Zentravo" || fail "no recovery question at the second start"
question=$(window_titled "Zentravo")
shot question
keys "$question" alt+y
wait_for 20 has_window "$title \\*" || fail "the work was not restored as modified: $(xdotool search --onlyvisible --name Zentravo getwindowname %@ 2>/dev/null)"
main=$(window_titled "$title \\*")
[ ! -e "$data/Sunny Day/Sunny Day.vrn" ] || fail "the restore wrote the project's own file"
keys "$main" ctrl+s
wait_for 20 has_window "$title" || fail "the restored project was not saved"
"$cli" info "$data/Sunny Day/Sunny Day.vrn" >"$work/info.json"
grep -q "\"text\": \"$text\"" "$work/info.json" || fail "the saved project lacks the text"

# ---- a clean exit removes the recovery files and the lock ----------------------------------
click "$main" 1078 13 # the caption's close button
wait_for 20 bash -c "! kill -0 $second 2>/dev/null" || fail "the program did not end"
wait "$second" || fail "the program ended with an error"
[ -z "$(ls -A "$data/Recovery" 2>/dev/null)" ] || fail "recovery files were left: $(ls "$data/Recovery")"
echo "crash_recovery_test: restored, saved and cleaned up"
