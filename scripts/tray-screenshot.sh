#!/usr/bin/env bash
# Standby in a real notification area: under Xvfb with the trayer panel,
# "Mettre en veille" must hide the main window and show the icon, a right
# click on the icon must open its menu (pictured into the file given, by
# default docs/tray.png), and "Afficher" must bring the window back and remove
# the icon. Needs xvfb, trayer, xdotool, x11-utils and ffmpeg; the program
# runs from a temporary copy, so that build/bin keeps no settings of it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/tray.png}
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "tray-screenshot: $*" >&2; exit 1; }

cp "$root/build/bin/KS3_Tools_Convert" "$root/build/bin/CoreConverter" "$work/"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 900x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
trayer --edge top --align right --widthtype request --height 28 --SetDockType true \
    --transparent false --tint 0x505050 >"$work/trayer.log" 2>&1 &
pids+=($!)
sleep 1
QT_QPA_PLATFORM=xcb "$work/KS3_Tools_Convert" >"$work/program.log" 2>&1 &
pids+=($!)
main=$(timeout 20 xdotool search --sync --onlyvisible --name "Kestrel: Tools Convert" | head -1)
[ -n "$main" ] || fail "the main window did not appear"
sleep 1

# The embedded icon: the program's window inside the panel.
icon_geometry() {
    xwininfo -root -tree | awk '/"panel"/ { inpanel = 1; next }
        inpanel && /KS3_Tools_Convert/ { print $(NF-1), $NF; exit }'
}
[ -z "$(icon_geometry)" ] || fail "an icon is shown before standby"

# "Mettre en veille": the bottom row's third button.
xdotool mousemove --window "$main" 553 492 click 1
sleep 1.5
[ "$(xdotool search --onlyvisible --name 'Kestrel: Tools Convert' | wc -l)" -eq 0 ] ||
    fail "the main window is still shown in standby"
geometry=$(icon_geometry)
[ -n "$geometry" ] || fail "no icon in the notification area"
# "22x26+0+0 +877+1": size, then the position on the screen.
size=${geometry%% *}
pos=${geometry##* +}
width=${size%%x*}
height=${size#*x}
height=${height%%+*}
x=$((${pos%+*} + width / 2))
y=$((${pos#*+} + height / 2))

# A left click opens nothing; the right button opens the menu.
shown() { xdotool search --onlyvisible --class KS3_Tools_Convert | wc -l; }
before=$(shown)
xdotool mousemove "$x" "$y" click 1
sleep 1
[ "$(shown)" -eq "$before" ] || fail "a left click opened something"
xdotool mousemove "$x" "$y" click 3
sleep 1
now=$(shown)
[ "$now" -gt "$before" ] || fail "the right button opened no menu ($before windows before, $now after)"
mkdir -p "$(dirname "$out")"
ffmpeg -loglevel error -y -f x11grab -video_size 900x600 -i "$DISPLAY" -frames:v 1 \
    -vf "crop=200:72:700:0" "$out"

# "Afficher": the menu's first entry.
xdotool mousemove "$((x - 50))" "$((y + 10))" click 1
sleep 1
[ "$(xdotool search --onlyvisible --name 'Kestrel: Tools Convert' | wc -l)" -eq 1 ] ||
    fail "\"Afficher\" did not bring the main window back"
[ -z "$(icon_geometry)" ] || fail "the icon stayed after \"Afficher\""
echo "tray-screenshot: standby, icon, menu and \"Afficher\" checked; picture in $out"
