#!/usr/bin/env bash
# The Windows build from this Debian machine: installs the cross tools, builds Qt (qtbase), zlib's and libzip's
# Windows libraries once into a cache folder, cross-builds the editor and its tests with MinGW-w64, runs every
# test program under Wine, and makes the installer and the portable .zip. Not part of .ci/run: the first run
# builds Qt (about half an hour on two cores); later runs reuse the cache.
#
#   bash tools/windows.sh            everything
#   bash tools/windows.sh deps       only the packages and the cached libraries
#
# GX_WINDOWS_CACHE   where the built libraries are kept (default ~/.cache/gx3190-windows)
# GX_WINDOWS_BUILD   the editor's build folder (default build-windows in the source tree)
# GX_JOBS            parallel jobs (default 2)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
stage=${1:-all}
jobs=${GX_JOBS:-2}
cache=${GX_WINDOWS_CACHE:-$HOME/.cache/gx3190-windows}
build=${GX_WINDOWS_BUILD:-$here/build-windows}
toolchain=$here/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
nice="nice -n ${GX_NICE:-19}"

log() { printf '== %s: %s\n' "$(date -u +%H:%M:%S)" "$*"; }

install_packages() {
    local packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev
                    wine wine64 nsis dpkg-dev cmake ninja-build zip unzip xvfb xauth
                    qt6-base-dev qt6-base-dev-tools)
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # Qt and libzip are built from Debian's own sources, so apt needs a deb-src entry beside the deb one.
    if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
        log "adding deb-src entries"
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
        missing+=(--update)
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        $sudo apt-get update -qq
        local list=() m
        for m in "${missing[@]}"; do [ "$m" = --update ] || list+=("$m"); done
        [ ${#list[@]} -eq 0 ] || $sudo apt-get install -y -qq --no-install-recommends "${list[@]}"
    fi
}

source_version() { apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -V | tail -1; }

# The cache folder is named by the versions it holds, so a new Qt or libzip source builds a new one.
deps_folder() {
    local qt zip z
    qt=$(source_version qt6-base)
    zip=$(source_version libzip)
    z=$(dpkg-query -W -f='${Version}' libz-mingw-w64-dev)
    echo "$cache/deps-qt${qt%%+*}-libzip${zip%%-*}-zlib${z%%+*}"
}

fetch_source() { # package folder
    local package=$1 into=$2
    [ -d "$into" ] && return
    mkdir -p "$into.tmp"
    (cd "$into.tmp" && apt-get source -qq "$package" >/dev/null)
    mv "$(find "$into.tmp" -mindepth 1 -maxdepth 1 -type d | head -1)" "$into"
    rm -rf "$into.tmp"
}

build_libzip() { # deps
    local deps=$1
    [ -f "$deps/libzip/.complete" ] && return
    log "building libzip for Windows"
    fetch_source libzip "$deps/src/libzip"
    rm -rf "$deps/work/libzip"
    GX_WINDOWS_DEPS="" $nice cmake -S "$deps/src/libzip" -B "$deps/work/libzip" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/libzip" \
        -DBUILD_SHARED_LIBS=ON -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
        -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_OSSFUZZ=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
        >"$deps/work/libzip-configure.log"
    $nice cmake --build "$deps/work/libzip" -j"$jobs" >"$deps/work/libzip-build.log"
    cmake --install "$deps/work/libzip" >/dev/null
    touch "$deps/libzip/.complete"
}

build_qt() { # deps
    local deps=$1
    [ -f "$deps/qt/.complete" ] && return
    log "building Qt for Windows (qtbase: Core, Gui, Widgets, Test; about half an hour on two cores)"
    fetch_source qt6-base "$deps/src/qtbase"
    # Debian's tarball leaves out the tablet header the Windows platform plugin includes; Wine's own header
    # (LGPL) declares the same interface.
    local wintab=$deps/src/qtbase/src/3rdparty/wintab
    if ! grep -qs WINELIB_NAME_AW "$wintab/wintab.h"; then
        local wine=$deps/work/libwine-dev
        mkdir -p "$wine" "$wintab"
        (cd "$wine" && apt-get download -qq libwine-dev >/dev/null && dpkg-deb -x libwine-dev_*.deb root)
        local header
        header=$(find "$wine/root" -name wintab.h | head -1)
        cp "$header" "$wintab/wine-wintab.h"
        cp "$(dirname "$header")/pktdef.h" "$wintab/pktdef.h"
        # Wine's header uses two naming macros of Wine's own Windows headers, and Qt's code the calling
        # convention macro of the tablet maker's header.
        cat >"$wintab/wintab.h" <<'HEADER'
// Stands in for the header Debian leaves out of the tarball: Wine declares the same interface.
#pragma once
#include <windows.h>
#ifndef WINELIB_NAME_AW
#ifdef UNICODE
#define WINELIB_NAME_AW(name) name##W
#else
#define WINELIB_NAME_AW(name) name##A
#endif
#endif
#ifndef DECL_WINELIB_TYPE_AW
#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#include "wine-wintab.h"
#ifndef API
#define API WINAPI
#endif
HEADER
    fi
    mkdir -p "$deps/work/qt-empty-pkgconfig"
    [ -f "$deps/work/qtbase/build.ninja" ] || $nice env PKG_CONFIG_LIBDIR="$deps/work/qt-empty-pkgconfig" GX_WINDOWS_DEPS="" \
        cmake -S "$deps/src/qtbase" -B "$deps/work/qtbase" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps/qt" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF \
        -DFEATURE_gif=OFF -DFEATURE_zstd=OFF -DFEATURE_system_zlib=OFF -DINPUT_opengl=no \
        >"$deps/work/qtbase-configure.log" 2>&1 || { tail -40 "$deps/work/qtbase-configure.log"; return 1; }
    # Every part but the plugins nothing here loads: the Direct2D platform (which compiles the whole Windows
    # platform a second time), the minimal platform and the icon image format.
    local skip='src/plugins/platforms/direct2d|src/plugins/platforms/minimal|src/plugins/imageformats' parts=()
    local part
    for part in Platform src/tools src/entrypoint src/3rdparty src/corelib src/gui src/widgets src/platformsupport \
        src/testlib src/plugins/platforms/windows src/plugins/platforms/offscreen src/plugins/styles \
        src/plugins/generic src/plugins/platformthemes; do
        [ "$part" = Platform ] && parts+=(Platform) || parts+=("$part/all")
    done
    # Core and Test first: the core's tests need no more.
    $nice ninja -C "$deps/work/qtbase" -j"$jobs" src/corelib/all src/testlib/all src/entrypoint/all \
        >"$deps/work/qtbase-build.log" 2>&1 &&
        $nice ninja -C "$deps/work/qtbase" -j"$jobs" "${parts[@]}" >>"$deps/work/qtbase-build.log" 2>&1 ||
        { grep -B2 -A20 -m3 'FAILED' "$deps/work/qtbase-build.log" | head -80; return 1; }
    # Each folder installs its own part only, so that the plugins left out are not looked for.
    local script
    while IFS= read -r script; do
        cmake -DCMAKE_INSTALL_LOCAL_ONLY=ON -P "$script" >>"$deps/work/qtbase-install.log"
    done < <(cd "$deps/work/qtbase" && find . -name cmake_install.cmake | sed 's|^\./||' | grep -Ev "^($skip|config.tests)/" |
        sort | sed "s|^|$deps/work/qtbase/|")
    touch "$deps/qt/.complete"
}

# Wine takes Windows paths; the Linux file system is its drive Z:.
windows_path() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

setup_wine() { # deps
    local deps=$1 folder list=()
    export WINEPREFIX=${GX_WINEPREFIX:-$cache/wine-prefix}
    export WINEDEBUG=-all WINEARCH=win64
    # No offer to fetch Wine's .NET and HTML engines, which nothing here uses.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    for folder in "$deps/qt/bin" "$deps/libzip/bin" "/usr/$triple/lib" \
        "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"; do
        list+=("$(windows_path "$folder")")
    done
    WINEPATH=$(IFS=';'; echo "${list[*]}")
    export WINEPATH
    # Unix variables named QT_* do not reach a Windows program; WINEQT_* arrive there as QT_*.
    export WINEQT_QPA_PLATFORM=offscreen
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making the Wine prefix $WINEPREFIX"
        wineboot --init >/dev/null 2>&1 || true
        wineserver -w
    fi
}

build_editor() { # deps
    local deps=$1
    log "cross-building the editor and its tests in $build"
    mkdir -p "$deps/work/no-pkgconfig"
    # pkg-config would hand the Linux libzip to the cross-build; libzip's own CMake package names its DLL.
    if [ ! -f "$build/build.ninja" ]; then
        PKG_CONFIG_LIBDIR="$deps/work/no-pkgconfig" GX_WINDOWS_DEPS="$deps/libzip" \
            cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$deps/qt/lib/cmake/Qt6/qt.toolchain.cmake" \
            -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$deps/libzip" >/dev/null
    fi
    PKG_CONFIG_LIBDIR="$deps/work/no-pkgconfig" GX_WINDOWS_DEPS="$deps/libzip" \
        $nice cmake --build "$build" -j"$jobs"
}

# Every test program under Wine, headless. Qt Test's output to a pipe is lost under Wine, so each program
# writes its results to files of its own.
run_tests() {
    local results=$build/wine-results passed=0 failed=0 name exe status
    rm -rf "$results"
    mkdir -p "$results"
    local programs
    programs=$(cd "$build" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p')
    for name in $programs; do
        exe=$(find "$build" -name "$name.exe" -not -path '*/CMakeFiles/*' | head -1)
        if [ -z "$exe" ]; then
            echo "FAIL $name: no program $name.exe"
            failed=$((failed + 1))
            continue
        fi
        status=0
        (cd "$(dirname "$exe")" &&
            timeout 600 wine "$exe" -o "$(windows_path "$results/$name.txt"),txt" \
                -o "$(windows_path "$results/$name.xml"),junitxml" >"$results/$name.log" 2>&1) || status=$?
        local totals
        totals=$(grep -m1 '^Totals:' "$results/$name.txt" 2>/dev/null || echo "Totals: no results written")
        if [ "$status" -eq 0 ] && grep -q '^Totals: [0-9]* passed, 0 failed' "$results/$name.txt"; then
            passed=$((passed + 1))
            echo "PASS $name  ($totals)"
        else
            failed=$((failed + 1))
            echo "FAIL $name  (exit status $status; $totals)"
            grep -E '^(FAIL!|SKIP|   Loc:|   Actual|   Expected)' "$results/$name.txt" 2>/dev/null | head -40 || true
        fi
    done
    echo "(results in $results)"
    test_summary="$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# The installed folder, checked to hold every DLL its programs load and no DLL that nothing loads.
stage_folder() { # deps
    local deps=$1 stage=$build/stage
    rm -rf "$stage"
    cmake --install "$build" --prefix "$stage" >/dev/null
    local ours=() folder
    for folder in "$deps/qt/bin" "$deps/libzip/bin" "/usr/$triple/lib" \
        "$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")"; do
        ours+=("$folder")
    done
    local bad=0 file import wanted=" "
    while IFS= read -r file; do
        for import in $($triple-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
            wanted+="${import,,} "
            # A DLL this build or its libraries provide must lie in the folder; the rest are Windows' own.
            if [ -n "$(find "${ours[@]}" -maxdepth 1 -iname "$import" -print -quit)" ] &&
                [ -z "$(find "$stage" -maxdepth 1 -iname "$import" -print -quit)" ]; then
                echo "missing from the installed folder: $import (loaded by ${file#"$stage"/})"
                bad=1
            fi
        done
    done < <(find "$stage" -iname '*.exe' -o -iname '*.dll')
    while IFS= read -r file; do
        local base
        base=$(basename "$file")
        case "$wanted" in *" ${base,,} "*) ;; *) echo "not needed in the installed folder: $base"; bad=1 ;; esac
    done < <(find "$stage" -maxdepth 1 -iname '*.dll')
    [ "$bad" -eq 0 ]
}

make_packages() {
    local stage=$build/stage version out=$build/packages
    version=$(cat "$build/packaging/windows/version")
    rm -rf "$out"
    mkdir -p "$out"
    # The installer's file lists, made from the folder, so that the uninstaller removes exactly these.
    local list=$build/packaging/windows/files.nsh unlist=$build/packaging/windows/unfiles.nsh dir file
    : >"$list"
    : >"$unlist"
    while IFS= read -r dir; do
        local sub=${dir#"$stage"}
        sub=${sub//\//\\}
        echo "SetOutPath \"\$INSTDIR$sub\"" >>"$list"
        while IFS= read -r file; do
            echo "File \"$file\"" >>"$list"
            echo "Delete \"\$INSTDIR$sub\\$(basename "$file")\"" >>"$unlist"
        done < <(find "$dir" -maxdepth 1 -type f | sort)
    done < <(find "$stage" -type d | sort)
    while IFS= read -r dir; do
        local sub=${dir#"$stage"}
        echo "RMDir \"\$INSTDIR${sub//\//\\}\"" >>"$unlist"
    done < <(find "$stage" -mindepth 1 -type d | sort -r)
    echo "SetOutPath \"\$INSTDIR\"" >>"$list"
    makensis -V2 -DSTAGE="$stage" -DOUTDIR="$out" -DFILELIST="$list" -DUNFILELIST="$unlist" \
        "$build/packaging/windows/installer.nsi"
    local portable=gx3190editor-$version
    rm -rf "$build/$portable"
    cp -r "$stage" "$build/$portable"
    (cd "$build" && zip -qrX "$out/$portable-portable.zip" "$portable")
    rm -rf "$build/$portable"
    log "made $out/gx3190editor-$version-setup.exe and $out/$portable-portable.zip"
}

# The installer as a user runs it: silently, then the installed program lists the demo game's mods, then the
# uninstaller leaves nothing of what was installed.
check_installer() {
    local version setup demo=$build/demo-game folder lnk listed expected
    version=$(cat "$build/packaging/windows/version")
    setup=$build/packages/gx3190editor-$version-setup.exe
    rm -rf "$demo"
    wine "$(find "$build" -name gx3190-makedemo.exe -not -path '*/CMakeFiles/*' | head -1)" \
        "$(windows_path "$demo")" >/dev/null
    # The installed program must run on its own DLLs alone, not on those of the build.
    local savedpath=$WINEPATH
    WINEPATH=""
    wine "$setup" /S
    wineserver -w
    folder=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')\\Programs\\GX3190 Editor")
    lnk=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs\\GX3190 Editor.lnk")
    local bad=0
    [ -f "$folder/gx3190editor.exe" ] || { echo "installer: no $folder/gx3190editor.exe"; bad=1; }
    [ -f "$lnk" ] || { echo "installer: no Start-menu entry $lnk"; bad=1; }
    listed=$(wine "$folder/gx3190editor.exe" --game "$(windows_path "$demo")" list-mods 2>&1 | tr -d '\r') || true
    expected=$(printf 'Bot Names Only\ngx3190\nlower.case mod')
    if [ "$listed" != "$expected" ]; then
        echo "installed program: list-mods gave: $listed"
        bad=1
    fi
    wine "$folder/uninstall.exe" /S
    wineserver -w
    # The uninstaller copies itself away and runs from there; it is done when Wine has no program left.
    sleep 2
    wineserver -w
    [ ! -e "$folder" ] || { echo "uninstaller left: $(find "$folder" | head -5)"; bad=1; }
    [ ! -e "$lnk" ] || { echo "uninstaller left the Start-menu entry"; bad=1; }
    WINEPATH=$savedpath
    [ "$bad" -eq 0 ] && log "installer checked: installed, listed the demo game's mods, uninstalled"
    [ "$bad" -eq 0 ]
}

start=$(date +%s)
install_packages
deps=$(deps_folder)
mkdir -p "$deps/work"
log "libraries in $deps"
build_libzip "$deps"
build_qt "$deps"
[ "$stage" = deps ] && { log "libraries ready"; exit 0; }
setup_wine "$deps"
build_editor "$deps"
status=0
test_summary="0 passed, 0 failed"
log "running the tests under Wine"
run_tests || status=1
log "staging the installed folder"
stage_folder "$deps" || status=1
make_packages || status=1
check_installer || status=1
log "took $(( $(date +%s) - start )) s"
echo "$test_summary"
exit "$status"
