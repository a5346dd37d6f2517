#!/usr/bin/env bash
# Builds the .deb, installs it with its dependencies, starts the editor from the installed desktop entry's
# Exec line on a virtual X display, waits for the mod selection window, takes a screenshot of the screen
# and removes the package again.
#
#   bash packaging/deb-smoke.sh [BUILD_FOLDER]     (as root; the default folder is build-pkg)
#
# The editor runs with HOME and XDG_CONFIG_HOME in a temporary folder and a settings store that points at
# a fresh demo game, so nothing of the user's is read or changed. The screenshot is written to
# BUILD_FOLDER/screenshots/deb-smoke.png. Exit status 77 means the check could not run here.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build=$(realpath -m "${1:-build-pkg}")
app_id=io.github.gx3190editor.GX3190Editor

if [ "$(id -u)" != 0 ]; then
    echo "deb-smoke: installing a package needs root" >&2
    exit 77
fi
for tool in Xvfb xdotool import dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "deb-smoke: $tool is missing (apt-get install xvfb xdotool imagemagick dpkg-dev)" >&2
        exit 77
    fi
done
if dpkg -s gx3190-editor >/dev/null 2>&1; then
    echo "deb-smoke: gx3190-editor is installed already; remove it first so that this check starts clean" >&2
    exit 1
fi

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)" --target gx3190editor gx3190-icon-files gx3190-makedemo
rm -f "$build"/gx3190-editor_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/gx3190-editor_*.deb)
echo "deb-smoke: built $deb"
dpkg-deb --field "$deb" Package Version Depends

work=$(mktemp -d)
display=""
xvfb_pid=""
editor_pid=""
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    if dpkg -s gx3190-editor >/dev/null 2>&1; then
        apt-get remove -y gx3190-editor >/dev/null || dpkg -r gx3190-editor
        echo "deb-smoke: package removed"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

apt-get install -y "$deb"
# The click sounds' module, under lib/ or lib/<multiarch>/ depending on the install prefix of the build.
sounds=$(find /usr/lib -path '*/gx3190-editor/gx3190sounds.so' -print -quit)
for file in /usr/bin/gx3190editor "${sounds:-/usr/lib/gx3190-editor/gx3190sounds.so}" \
    "/usr/share/applications/$app_id.desktop" "/usr/share/metainfo/$app_id.metainfo.xml" \
    /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$app_id.png; do
    [ -f "$file" ] || { echo "deb-smoke: the package did not install $file" >&2; exit 1; }
done

# The Exec line as a menu would run it, without its field codes.
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop" | head -n 1 | sed 's/ *%[fFuUick]//g')
[ -n "$exec_line" ] || { echo "deb-smoke: the desktop entry has no Exec line" >&2; exit 1; }

mkdir -p "$work/home" "$work/config/GX3190_SP"
"$build/tools/gx3190-makedemo" "$work/game"
printf '[Paths]\nGXPath=%s/\n' "$work/game" >"$work/config/GX3190_SP/GX3190_SP.conf"

for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "deb-smoke: no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do
    DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

echo "deb-smoke: starting '$exec_line' on $display"
env -i PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$display" HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb sh -c "exec $exec_line" >"$work/editor.log" 2>&1 &
editor_pid=$!

window=""
for _ in $(seq 1 300); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name '^GX3190 Editor$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    if ! kill -0 "$editor_pid" 2>/dev/null; then
        echo "deb-smoke: the editor ended before showing a window:" >&2
        cat "$work/editor.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "deb-smoke: no editor window appeared within 30 seconds" >&2
    cat "$work/editor.log" >&2
    exit 1
fi
# The mod selection window is the only one of its size; the main window would be 449 x 360.
geometry=$(DISPLAY=$display xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
echo "deb-smoke: window $window mapped, $geometry"
if [ "$geometry" != "137x121" ]; then
    echo "deb-smoke: the visible window is not the mod selection window" >&2
    exit 1
fi
sleep 0.5
mkdir -p "$build/screenshots"
DISPLAY=$display import -window root "$build/screenshots/deb-smoke.png"
echo "deb-smoke: screenshot in $build/screenshots/deb-smoke.png"
kill -0 "$editor_pid" 2>/dev/null || { echo "deb-smoke: the editor ended while on screen" >&2; exit 1; }
echo "deb-smoke: passed"
