#!/bin/bash
# Builds the Debian package from the build folder, checks its control fields and files, unpacks it
# into a private root (never installs it), validates the menu entry and the AppStream file, and
# starts the unpacked program offscreen with a private home: it must work in ~/.local/share/zorvel.
# Usage: check_package.sh BUILD_DIR VERSION [CPACK]
set -euo pipefail
build=$1
version=$2
cpack=${3:-cpack}
work=$build/package-test
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/zorvel_*.deb)

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zorvel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
for dep in pocketsphinx-en-us libqt5core5a libqt5widgets5 libqt5multimedia5 libpocketsphinx3 libxtst6; do
    field Depends | grep -q "\b$dep\b" || fail "Depends lacks $dep: $(field Depends)"
done

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in ./usr/bin/zorvel ./usr/share/applications/zorvel.desktop \
    ./usr/share/metainfo/com.pelmora.zorvel.metainfo.xml \
    ./usr/share/icons/hicolor/16x16/apps/zorvel.png ./usr/share/icons/hicolor/32x32/apps/zorvel.png \
    ./usr/share/icons/hicolor/48x48/apps/zorvel.png ./usr/share/icons/hicolor/scalable/apps/zorvel.svg \
    ./usr/share/zorvel/services.ini ./usr/share/zorvel/commandwords.txt ./usr/share/zorvel/area.txt; do
    grep -qx "$f" "$work/files" || fail "package lacks $f"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/zorvel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.pelmora.zorvel.metainfo.xml" || fail "metainfo"

# A private home whose services.ini points the update check at a closed loopback port.
home=$work/home
data=$home/.local/share/zorvel
mkdir -p "$data" "$work/tmp" "$work/run"
chmod 700 "$work/run"
printf '[update]\nserver=http://127.0.0.1:9\n' >"$data/services.ini"
env -i PATH=/usr/bin:/bin HOME="$home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 \
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/zorvel" >"$work/stdout" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    if [ -f "$data/config.txt" ] && grep -qs '"主程序启动"' "$data"/logs/*.log; then
        break
    fi
    kill -0 $pid 2>/dev/null || break
    sleep 0.2
done
kill -0 $pid 2>/dev/null || { cat "$work/stdout"; fail "the program ended"; }
[ -f "$data/config.txt" ] || fail "no config.txt in $data"
grep -qs '"主程序启动"' "$data"/logs/*.log || fail "no start line in the log"
grep -qsF "Working folder , $data"$'\r' "$data"/logs/*.log || fail "the log does not name $data"
[ "$(cat "$data/services.ini")" = "$(printf '[update]\nserver=http://127.0.0.1:9')" ] ||
    fail "services.ini of the user was overwritten"
cmp -s "$root/usr/share/zorvel/area.txt" "$data/area.txt" || fail "area.txt not copied"
[ "$(ls "$root/usr/bin")" = zorvel ] || fail "files written beside the executable: $(ls "$root/usr/bin")"
echo "package $(basename "$deb"): $(stat -c %s "$deb") bytes"
