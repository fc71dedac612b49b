#!/bin/sh
# Cross-builds the offline speech engine (sphinxbase + pocketsphinx, Debian's source packages) for
# 32-bit Windows as static libraries, into a cache outside the clone keyed by the versions, the
# compiler and the recipe; the English model is taken from pocketsphinx's own sources (the files
# Debian's pocketsphinx-en-us installs). Prints the prefix on its last line; the model lies in
# <prefix>/share/pocketsphinx/model/en-us. Each step is skipped when its stamp is there.
#
# Static: the engine links into zorvel.exe, so no further DLLs are shipped. Only the libraries: no
# Python bindings, no programs, no audio-device library (the program records through Qt).
set -eu

HOST=i686-w64-mingw32
JOBS=${JOBS:-2}
CACHE=${ZORVEL_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvel/win32}
SCRIPT_DIR=$(cd "$(dirname "$0")" && pwd)

"$SCRIPT_DIR/fetch-sources.sh" "$CACHE/src" >&2
SRC=$CACHE/src
BASE_DSC=$(ls "$SRC"/sphinxbase_*.dsc | head -n1)
PS_DSC=$(ls "$SRC"/pocketsphinx_*.dsc | head -n1)
FLAGS="--host=$HOST --enable-static --disable-shared --without-python"
# Raise RECIPE when a change of this script changes what it builds.
RECIPE=1
KEY=$( (basename "$BASE_DSC"; basename "$PS_DSC"; echo "$FLAGS recipe $RECIPE"; $HOST-gcc -dumpversion) | sha256sum | cut -c1-12)
PREFIX=$CACHE/sphinx-$KEY
WORK=$CACHE/work-sphinx-$KEY
mkdir -p "$WORK"

log() { echo "[build-sphinx $(date +%H:%M:%S)] $*" >&2; }

build() { # <dsc> <name> <library folder> [extra configure arguments]
    dsc=$1 name=$2 lib=$3; shift 3
    [ -f "$WORK/$name.installed" ] && return 0
    t=$(date +%s); log "building $name"
    rm -rf "$WORK/$name"
    dpkg-source --no-check -x "$dsc" "$WORK/$name" >/dev/null
    # The tarball's generated autotools files are used as they are: Debian's patches touch only
    # tests, Python and pkg-config lookups, and newer inputs would make make run automake.
    find "$WORK/$name" \( -name configure.ac -o -name Makefile.am -o -name '*.m4' \) ! -name aclocal.m4 \
        -exec touch -d 2000-01-01 {} +
    (cd "$WORK/$name" && ./configure --prefix="$PREFIX" $FLAGS "$@" && make -j"$JOBS" -C src/$lib &&
        make -C src/$lib install && make -C include install && mkdir -p "$PREFIX/lib/pkgconfig" &&
        cp $name.pc "$PREFIX/lib/pkgconfig/") \
        >"$WORK/$name.log" 2>&1 || { tail -n 40 "$WORK/$name.log" >&2; exit 1; }
    touch "$WORK/$name.installed"; log "$name done in $(( $(date +%s) - t )) s"
}

build "$BASE_DSC" sphinxbase libsphinxbase
build "$PS_DSC" pocketsphinx libpocketsphinx --with-sphinxbase="$WORK/sphinxbase"

# The audio-device library is not built (see above): nothing may ask for it.
sed -i 's/ -lsphinxad//' "$PREFIX/lib/pkgconfig/sphinxbase.pc"

if [ ! -f "$WORK/model.installed" ]; then
    mkdir -p "$PREFIX/share/pocketsphinx/model"
    rm -rf "$PREFIX/share/pocketsphinx/model/en-us"
    cp -r "$WORK/pocketsphinx/model/en-us" "$PREFIX/share/pocketsphinx/model/"
    touch "$WORK/model.installed"
fi
echo "$PREFIX"
