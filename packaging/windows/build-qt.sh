#!/bin/sh
# Cross-builds Qt 5.15 (qtbase + qtmultimedia) for 32-bit Windows (i686-w64-mingw32) from Debian's
# own source packages, into a cache outside the clone. Prints the Qt prefix on its last line.
#
# The prefix is keyed by the Qt version and a hash of the configure flags and of this recipe, so a
# change of flags builds a new prefix and an unchanged one is reused. Every step leaves a stamp and
# is skipped when its stamp is there.
#
# Configure flags, chosen for this program:
#   -shared                  the program ships Qt's DLLs beside zorvel.exe (LGPL, and the plugins
#                            load the usual way); a static build would also need static plugins.
#   -release                 no debug DLLs to ship.
#   -no-opengl -no-direct2d  the windows are plain widgets drawn by the raster engine; no OpenGL DLLs
#                            (and no ANGLE/Mesa) to ship, works in any VM or remote session.
#   -schannel -no-openssl    https (update check, HTTP speech engine, translation) through Windows'
#                            own TLS, so no OpenSSL DLLs are shipped or looked for.
#   -no-dbus -no-icu         no session bus on Windows; QTextCodec's own tables carry GBK/GB2312.
#   -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz
#                            the bundled copies: nothing of the build host leaks into the DLLs.
#   -no-feature-tabletevent  Debian's dfsg tarball drops wintab.h, without which the windows
#                            platform plugin does not compile; the program reads no tablets.
#   -no-feature-sql -no-feature-testlib -no-feature-concurrent -no-feature-xml
#                            modules that neither the program nor qtmultimedia link: less to build.
#   -nomake examples -nomake tests
# Plugins the program loads: platforms/qwindows, styles/qwindowsvistastyle, imageformats/qico,
# bearer/qgenericbearer (QNetworkAccessManager), audio/qtaudio_windows (qtmultimedia: only the
# library and that plugin are built).
set -eu

QT_VERSION=5.15.8
HOST=i686-w64-mingw32
JOBS=${JOBS:-2}
CACHE=${ZORVEL_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvel/win32}
SCRIPT_DIR=$(cd "$(dirname "$0")" && pwd)

QT_FLAGS="-xplatform win32-g++ -device-option CROSS_COMPILE=$HOST- -release -shared -opensource
-confirm-license -nomake examples -nomake tests -no-opengl -no-direct2d -no-dbus -no-icu -schannel
-no-openssl -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz -no-feature-tabletevent
-no-feature-sql -no-feature-testlib -no-feature-concurrent -no-feature-xml"
QT_FLAGS=$(echo $QT_FLAGS)
# Raise RECIPE when a change of this script changes what it builds.
RECIPE=1
KEY=$( (echo "$QT_VERSION $QT_FLAGS recipe $RECIPE"; $HOST-g++ -dumpversion) | sha256sum | cut -c1-12)
PREFIX=$CACHE/qt-$QT_VERSION-$KEY
WORK=$CACHE/work-$QT_VERSION-$KEY
mkdir -p "$CACHE" "$WORK"

log() { echo "[build-qt $(date +%H:%M:%S)] $*" >&2; }
step_time() { log "$1 done in $(( $(date +%s) - $2 )) s"; }

"$SCRIPT_DIR/fetch-sources.sh" "$CACHE/src" >&2
SRC=$CACHE/src

# Unpack with Debian's patches applied (security fixes among them).
unpack() { # <source package> <dir>
    if [ ! -f "$WORK/$2.unpacked" ]; then
        rm -rf "$WORK/$2"
        dsc=$(ls "$SRC"/$1_*.dsc | head -n1)
        dpkg-source --no-check -x "$dsc" "$WORK/$2" >&2
        touch "$WORK/$2.unpacked"
    fi
}

unpack qtbase-opensource-src qtbase
unpack qtmultimedia-opensource-src qtmultimedia
# mingw's import libraries are named in lower case; Windows' own file system does not mind the
# spelling in Qt's project file, Linux does.
sed -i 's/-lSecur32/-lsecur32/; s/-lCrypt32/-lcrypt32/' "$WORK/qtbase/src/network/ssl/ssl.pri"

if [ ! -f "$WORK/qtbase.configured" ]; then
    t=$(date +%s); log "configuring qtbase into $PREFIX"
    # A configure run that failed late keeps its bootstrapped qmake; Qt reconfigures in place.
    mkdir -p "$WORK/qtbase-build"
    (cd "$WORK/qtbase-build" && MAKEFLAGS=-j$JOBS "$WORK/qtbase/configure" -prefix "$PREFIX" $QT_FLAGS) >"$WORK/qtbase-configure.log" 2>&1 \
        || { tail -n 40 "$WORK/qtbase-configure.log" >&2; exit 1; }
    touch "$WORK/qtbase.configured"; step_time "qtbase configure" "$t"
fi
if [ ! -f "$WORK/qtbase.installed" ]; then
    t=$(date +%s); log "building qtbase (-j$JOBS)"
    # A build cut short may leave empty objects that make takes as done.
    find "$WORK/qtbase-build" -name '*.o' -size 0 -delete
    (cd "$WORK/qtbase-build" && make -j"$JOBS" && make install) >"$WORK/qtbase-build.log" 2>&1 \
        || { tail -n 40 "$WORK/qtbase-build.log" >&2; exit 1; }
    touch "$WORK/qtbase.installed"; step_time "qtbase build" "$t"
fi
if [ ! -f "$WORK/qtmultimedia.installed" ]; then
    t=$(date +%s); log "building qtmultimedia (-j$JOBS)"
    rm -rf "$WORK/qtmultimedia-build"; mkdir -p "$WORK/qtmultimedia-build"
    # Only the library and the audio plugin the program loads (QAudioInput), each configured on its
    # own: the module's plugin list names features (wasapi) that Debian's source leaves out.
    sub() { # <project folder under src>
        mkdir -p "$WORK/qtmultimedia-build/src/$1"
        (cd "$WORK/qtmultimedia-build/src/$1" && "$PREFIX/bin/qmake" "$WORK/qtmultimedia/src/$1/$(basename "$1").pro" &&
         make -j"$JOBS" && make install)
    }
    { (cd "$WORK/qtmultimedia-build" && "$PREFIX/bin/qmake" "$WORK/qtmultimedia") &&
      sub multimedia && sub plugins/windowsaudio; } \
        >"$WORK/qtmultimedia-build.log" 2>&1 || { tail -n 40 "$WORK/qtmultimedia-build.log" >&2; exit 1; }
    touch "$WORK/qtmultimedia.installed"; step_time "qtmultimedia build" "$t"
fi
echo "$PREFIX"
