#!/usr/bin/env bash
# Starts the real Versweep window under Xvfb on a generated folder of release names, clicks an entry so the
# preview shows its files, and writes docs/screenshot.png (Chinese), docs/screenshot-question.png (the delete
# button's question), docs/screenshot-en.png (English), docs/screenshot-reasons.png (English, the tooltip
# of an older entry of a title whose versions read two ways) and docs/screenshot-dark.png (English under a
# dark theme; needs qt6-gtk-platformtheme).
# Needs the release build (scripts/run.sh makes it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program="$root/build/release/src/app/versweep"
[ -x "$program" ] || { echo "screenshot: build first: cmake --preset release && cmake --build --preset release" >&2; exit 1; }

tools=()
command -v Xvfb >/dev/null || tools+=(xvfb)
command -v xdotool >/dev/null || tools+=(xdotool)
command -v import >/dev/null || tools+=(imagemagick)
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so ] || tools+=(qt6-gtk-platformtheme)
if [ ${#tools[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${tools[@]}"
fi

# A fixed, readable folder path for the list's header.
work=/tmp/versweep-demo
[ ! -e "$work" ] || { echo "screenshot: $work exists; remove it first" >&2; exit 1; }
mkdir "$work"
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
folder="$work/Downloads"
# Clip.Mixer's versions read two ways (2.10 is newest as whole numbers, 2.9.1 as thousandths); the second
# Net.Monitor hides a zero-width space to pass for 3.3; the Disk.Mapper names are too long for their row.
for name in Pixel.Studio.v4.1-RLS Pixel.Studio.v4.0.2-RLS Clip.Mixer.v2.10-XYZ Clip.Mixer.v2.9.1-XYZ \
    Clip.Mixer.v2.8-XYZ Data.Vault.v1.0.build.102-DVT Data.Vault.v1.0.build.98-DVT Net_Monitor_v3.2-NM \
    $'Net.Monitor.v3.\u200b3-NM' Code.Pad.v12.0-CP Code.Pad.v11.8-CP Code.Pad.v11.8-R\&D Font.Viewer.v5.5-FNT \
    Disk.Mapper.Professional.Edition.Multilingual.v6.0-DM Disk.Mapper.Professional.Edition.Multilingual.v6.0.1-DM; do
    mkdir -p "$folder/$name"
    # A setup file of a plausible size, written out: the window shows the disk space an entry takes, which
    # a sparse file would not.
    head -c $(( (${#name} * 7919 % 900 + 20) * 1024 * 1024 / 100 )) /dev/zero >"$folder/$name/setup.bin"
done
for file in setup.exe readme.txt license.txt keygen.nfo data1.cab data2.cab; do
    head -c 2048 /dev/urandom >"$folder/Pixel.Studio.v4.1-RLS/$file"
done
# A copy beside its own settings file, so the run uses the generated folder and leaves the user's alone.
cp "$program" "$work/versweep"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 820x600x24 -nolisten tcp &
xvfb=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# shoot LANGUAGE OUTPUT [QUESTION] [REASONS]: one run of the window in that language, pictured once the sizes
# are in; with QUESTION, the delete button is pressed too and the window with its question is pictured there;
# with REASONS, Clip.Mixer.v2.8 (row 2) is clicked and hovered, and the window with its tooltip pictured.
shoot() {
    printf '[CONFIG]\r\nvPath=%s\r\nLanguage=%s\r\n' "$folder" "$1" >"$work/versweep.ini"
    "$work/versweep" &
    app=$!
    window=
    for _ in $(seq 100); do
        # The first window id, taken without "| head": a head that stops early could fail the pipeline.
        window=$(xdotool search --onlyvisible --name '^Versweep$' 2>/dev/null) && window=${window%%$'\n'*} && [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
    sleep 1
    # The newest Pixel.Studio, the list's last row (14 entries below the header), so the preview shows its files.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 100)) $((Y + 6 + 17 * 14 + 8)) click 1
    sleep 0.5
    mkdir -p "$(dirname "$2")"
    # The root window cropped to the window: a theme plugin may add windows of the same name that cannot be read.
    import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$2"
    echo "screenshot: wrote $2"
    if [ -n "${4:-}" ]; then
        xdotool mousemove $((X + 100)) $((Y + 6 + 17 * 2 + 8)) click 1
        # A small move after the click, so the view takes it as hovering and shows the tooltip.
        sleep 0.3
        xdotool mousemove $((X + 104)) $((Y + 6 + 17 * 2 + 9))
        sleep 1.5
        import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$4"
        echo "screenshot: wrote $4"
    fi
    if [ -n "${3:-}" ]; then
        # The delete button, 392 px from the left of the 41-px bottom panel (above the 20-px status line), 8 px
        # down, 90 x 25.
        xdotool mousemove $((X + 392 + 45)) $((Y + HEIGHT - 20 - 41 + 8 + 12)) click 1
        sleep 1
        import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$3"
        echo "screenshot: wrote $3"
        xdotool key Escape
    fi
    kill "$app"
    wait "$app" 2>/dev/null || true
}
shoot zh_CN "$root/docs/screenshot.png" "$root/docs/screenshot-question.png"
shoot en "$root/docs/screenshot-en.png" "" "$root/docs/screenshot-reasons.png"
# A dark desktop theme, as GNOME's Adwaita:dark reaches Qt through its gtk3 platform theme.
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark shoot en "$root/docs/screenshot-dark.png"
