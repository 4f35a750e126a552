#!/usr/bin/env bash
# Idle cost of TrelkPro: CPU share of one core averaged over a minute, and resident memory,
# measured after start-up has settled. Usage: bench/idle-usage.sh BUILD_DIR [SECONDS]
set -euo pipefail
BUILD="${1:-build}"
SECONDS_TO_MEASURE="${2:-60}"
APP="$BUILD/TrelkPro/trelkpro"
work=$(mktemp -d)
number=$((500 + $$ % 100))
Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $tray $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=":$number"
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype request --height 28 >/dev/null 2>&1 &
tray=$!
sleep 1
TRELK_APP_DIR="$work/" TRELK_REGISTRY="$work/registry.db" "$APP" >/dev/null 2>&1 &
app=$!
sleep 15 # start-up completes after 10 s
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$SECONDS_TO_MEASURE"
after=$(ticks)
rss=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")
awk -v t=$((after - before)) -v hz="$hz" -v s="$SECONDS_TO_MEASURE" -v rss="$rss" 'BEGIN {
    printf "idle CPU: %.3f %% of one core over %d s\nresident: %.1f MiB\n", 100 * t / hz / s, s, rss / 1024 }'
