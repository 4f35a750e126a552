#!/usr/bin/env bash
# Starts TrelkPro from its application folder. Without a usable display it brings up a
# virtual X server with a window manager and a notification area, and saves screenshots
# under the output folder. TRELK_GAME_MONITOR=N opens the stand-in game on monitor N (as
# `xrandr --listmonitors` numbers them); the virtual X server is then two monitors side by side,
# as a pilot with a second monitor has.
set -euo pipefail

BUILD="$1"
OUT="$2"
APP="$BUILD/TrelkPro/trelkpro"
GAME="$BUILD/bin/voidline-sim"
SERVICES="$BUILD/bin/trelk-services"

log() { printf '\033[1m[trelk run]\033[0m %s\n' "$*"; }

# A setting of the application folder's settings file (the first key of that name).
setting() { sed -n "s/^$1=//p" "$BUILD/TrelkPro/trelkpro.ini" 2>/dev/null | head -n 1 | tr -d '\r'; }
# The game started by TrelkPro (Auto Start) inherits this, so its transcript lands here too.
export VOIDLINE_TRANSCRIPT="$OUT/transcript.txt"
auto_start=0
game_args=(--transcript "$OUT/transcript.txt")
if [ -n "${TRELK_GAME_MONITOR:-}" ]; then game_args+=(--monitor "$TRELK_GAME_MONITOR"); fi
if [ "$(setting AutoRunVL)" = 1 ] && [ -e "$(setting AutoStart)" ]; then auto_start=1; fi

children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# The gallery: every tab, dialog and the tray menu drawn from the real widgets, with an index
# page, and a preview of the index page as one picture.
GALLERY="$OUT/gallery"
rm -rf "$GALLERY"
QT_QPA_PLATFORM=offscreen "$BUILD/bin/trelk-gallery" "$GALLERY" 2>/dev/null
# The preview: the pictures at scale 1 in a grid of even cells, those at scale 2 below them.
shots=()
scaled=()
while IFS='|' read -r picture caption; do
    case "$picture" in
        *-x2.png) scaled+=(-label "$caption" "$GALLERY/$picture") ;;
        *) shots+=(-label "$caption" "$GALLERY/$picture") ;;
    esac
done < <(sed -n 's/.*<img src="\([^"]*\)" alt="\([^"]*\)".*/\1|\2/p' "$GALLERY/index.html")
montage -font DejaVu-Sans -pointsize 14 "${shots[@]}" -tile 5x -geometry '640x400>+10+10' \
    -background '#eef0f3' "$GALLERY/preview-scale1.png"
montage -font DejaVu-Sans -pointsize 14 "${scaled[@]}" -geometry +10+10 -background '#eef0f3' \
    "$GALLERY/preview-scale2.png"
convert "$GALLERY/preview-scale1.png" "$GALLERY/preview-scale2.png" -background '#eef0f3' \
    -gravity West -append +repage "$GALLERY/index-preview.png"
rm -f "$GALLERY/preview-scale1.png" "$GALLERY/preview-scale2.png"
log "gallery: $GALLERY/index.html (preview: $GALLERY/index-preview.png)"

# The sample web services at the address the default settings name (market, database,
# version), unless something already serves there.
if ! curl -s -o /dev/null --max-time 1 http://127.0.0.1:47821/dblastchange.txt; then
    "$SERVICES" --record "$OUT/web-requests.txt" >/dev/null 2>&1 &
    children+=($!)
    log "sample web services on http://127.0.0.1:47821 (requests: $OUT/web-requests.txt)"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    if [ "$auto_start" = 1 ]; then
        log "starting TrelkPro on $DISPLAY; it starts the stand-in game ($(setting AutoStart))"
    else
        log "starting the stand-in game and TrelkPro on $DISPLAY"
        "$GAME" "${game_args[@]}" &
        children+=($!)
    fi
    "$APP"
    exit $?
fi

number=99
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
export DISPLAY=":$number"
log "no display: starting a virtual X server on $DISPLAY"
if [ -n "${TRELK_GAME_MONITOR:-}" ]; then
    # -noreset: the monitors stay once xrandr has gone.
    Xvfb "$DISPLAY" -screen 0 2560x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
else
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
fi
children+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
if [ -n "${TRELK_GAME_MONITOR:-}" ]; then
    xrandr --setmonitor LEFT 1280/338x800/211+0+0 screen >/dev/null
    xrandr --setmonitor RIGHT 1280/338x800/211+1280+0 none >/dev/null
    log "two monitors of 1280 x 800; the game on monitor $TRELK_GAME_MONITOR"
fi

if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    children+=($!)
fi
trayer --edge top --align right --widthtype request --height 28 --tint 0x203040 \
    --transparent true --alpha 0 >/dev/null 2>&1 &
children+=($!)
sleep 1

"$APP" &
app=$!
children+=("$app")
for _ in $(seq 100); do
    xdotool search --name '^Trelk Pro .* Beta$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 1
if [ "$auto_start" = 1 ]; then
    # TrelkPro starts the game about a second after its add-ons; its own window in front for
    # the picture, then the game again.
    for _ in $(seq 100); do
        xdotool search --name '^Voidline$' >/dev/null 2>&1 && break
        sleep 0.1
    done
    log "TrelkPro started the stand-in game (Auto Start)"
    xdotool search --name '^Trelk Pro .* Beta$' windowactivate --sync >/dev/null 2>&1 || true
    sleep 0.5
fi
import -window root "$OUT/trelkpro-main.png"
log "screenshot: $OUT/trelkpro-main.png"

# The stand-in game, typed at as a pilot would; TrelkPro sees the keys through its hook.
if [ "$auto_start" = 1 ]; then
    xdotool search --name '^Voidline$' windowactivate --sync >/dev/null 2>&1 || true
else
    "$GAME" "${game_args[@]}" &
    children+=($!)
fi
for _ in $(seq 100); do
    [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "Voidline" ] && break
    sleep 0.1
done
xdotool key F2 type --delay 40 'Hello, squad! Ready at Sol gate.'
xdotool key Return
xdotool key F3 type --delay 40 'WTB 40 units of ore, 3-5 nav'
sleep 0.5
import -window root "$OUT/voidline-sim.png"
log "screenshot: $OUT/voidline-sim.png (transcript: $OUT/transcript.txt)"
xdotool key Escape

# The console in the game: open it, walk the Mining Database down to an entry, look, send it.
xdotool key Insert
sleep 0.8
for key in Right Right Right Down Down; do
    xdotool key "$key"
    sleep 0.3
done
sleep 0.5
import -window root "$OUT/console.png"
log "screenshot: $OUT/console.png"
xdotool key Right
sleep 1
xdotool key Return
sleep 0.5
import -window root "$OUT/voidline-sim-lumacor.png"
log "screenshot: $OUT/voidline-sim-lumacor.png (the entry sent to the game)"

# The market: "//getmarket" switches the updates on and loads it from the web services; the
# console's "Market Database" mode then shows its categories, items and locations.
xdotool key F2 type --delay 40 '//getmarket'
xdotool key Return
sleep 2
xdotool key Insert
sleep 0.5
xdotool key shift+Insert
sleep 0.3
for key in Down Down Down Right Right Right; do
    xdotool key "$key"
    sleep 0.3
done
sleep 0.5
import -window root "$OUT/console-market.png"
log "screenshot: $OUT/console-market.png"
xdotool key Insert

# The radar: Enable Scan (keypad *) in the game, then an Object blip on the game's radar
# (Ctrl+2); the next scan raises the alarm page in the console and the alarm sound.
xdotool key KP_Multiply
sleep 0.5
xdotool key ctrl+2
sleep 2.5
import -window root "$OUT/console-radar-alarm.png"
log "screenshot: $OUT/console-radar-alarm.png (the radar alarm)"
xdotool key ctrl+2 Insert

# The tray menu: a right click on the first icon of the notification area.
if tray=$(xdotool search --name '^panel$' 2>/dev/null | head -n 1) && [ -n "$tray" ]; then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    xdotool mousemove $((X + 12)) $((Y + 14)) click 3
    sleep 1
    import -window root "$OUT/trelkpro-tray-menu.png"
    log "screenshot: $OUT/trelkpro-tray-menu.png"
    xdotool key Escape
fi

if [ -t 0 ]; then
    log "TrelkPro runs on the virtual display $DISPLAY; press Ctrl-C to stop it"
    wait "$app"
elif [ "$(setting AutoExitTRL)" = 1 ] &&
    game=$(xdotool search --name '^Voidline$' getwindowpid 2>/dev/null | head -n 1) &&
    [ -n "$game" ]; then
    # Auto Shutdown: closing the game ends TrelkPro by itself.
    kill -TERM "$game"
    for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$app" 2>/dev/null; then
        log "TrelkPro did not end with the game"
        kill -TERM "$app"
    else
        log "the game was closed and TrelkPro ended with it (Auto Shutdown)"
    fi
    wait "$app" || true
else
    kill -TERM "$app"
    wait "$app" || true
fi
