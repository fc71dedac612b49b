#!/bin/sh
# `make windows`: Qt for Windows and the offline engine (cached outside the clone, see
# build-qt.sh and build-sphinx.sh), then zorvel.exe, the portable folder <build>/Zorvel and the
# installer <build>/Zorvel-<version>-setup.exe from this CMake tree. Prints the time of each step.
# The slow builds run at the lowest priority, so the machine stays usable.
set -eu
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$SRC/build-win}
JOBS=${JOBS:-2}
export JOBS

t=$(date +%s)
QT=$(nice -n 19 "$SRC/packaging/windows/build-qt.sh" | tail -n1)
echo "windows build: Qt for Windows ready in $(( $(date +%s) - t )) s ($QT)"
t=$(date +%s)
SPHINX=$(nice -n 19 "$SRC/packaging/windows/build-sphinx.sh" | tail -n1)
echo "windows build: offline engine ready in $(( $(date +%s) - t )) s ($SPHINX)"

t=$(date +%s)
launcher=""
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$SRC" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" -DZORVEL_QT_PREFIX="$QT" -DZORVEL_SPHINX_PREFIX="$SPHINX" $launcher >/dev/null
nice -n 10 cmake --build "$BUILD" -j "$JOBS" --target zorvel
echo "windows build: zorvel.exe built in $(( $(date +%s) - t )) s"
t=$(date +%s)
cmake --build "$BUILD" --target zorvel_installer
echo "windows build: portable folder and installer in $(( $(date +%s) - t )) s"
ls -l "$BUILD"/Zorvel-*-setup.exe
