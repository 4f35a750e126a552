#!/usr/bin/env bash
# Idle cost of TrelkPro: CPU share of one core averaged over a minute, and resident memory,
# measured after start-up has settled. Usage: bench/idle-usage.sh BUILD_DIR [SECONDS] [scan]
# With "scan", the stand-in game runs in front and the Enable Scan key (keypad *) is pressed in
# it, so the radar scans every two seconds while the idle cost is measured.
set -euo pipefail
BUILD="${1:-build}"
SECONDS_TO_MEASURE="${2:-60}"
MODE="${3:-}"
APP="$BUILD/TrelkPro/trelkpro"
work=$(mktemp -d)
number=$((500 + $$ % 100))
Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
game=""
trap 'kill $app $game $tray $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=":$number"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype request --height 28 >/dev/null 2>&1 &
tray=$!
sleep 1
printf '[Setup]\nLogEnabled=1\n' > "$work/trelkpro.ini"
TRELK_APP_DIR="$work/" TRELK_REGISTRY="$work/registry.db" "$APP" >/dev/null 2>&1 &
app=$!
sleep 15 # start-up completes after 10 s
if [ "$MODE" = scan ]; then
    "$BUILD/bin/voidline-sim" >/dev/null 2>&1 &
    game=$!
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = Voidline ] && break
        sleep 0.1
    done
    xdotool key KP_Multiply
    sleep 1
    grep -q "Radar Scanning Enabled" "$work"/Log/*.log 2>/dev/null \
        || echo "note: the scan's log line was not seen (logging off?)" >&2
fi
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$SECONDS_TO_MEASURE"
after=$(ticks)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")
awk -v t=$((after - before)) -v hz="$hz" -v s="$SECONDS_TO_MEASURE" -v rss="$rss" 'BEGIN {
    printf "idle CPU: %.3f %% of one core over %d s\nresident: %.1f MiB\n", 100 * t / hz / s, s, rss / 1024 }'
