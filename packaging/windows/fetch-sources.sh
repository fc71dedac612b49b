#!/bin/sh
# Downloads Debian's source packages that the Windows build compiles (Qt, the offline speech engine)
# into the folder given, through a private deb-src list: the system's apt configuration and lists
# are left alone. Skipped when every package is already there.
set -eu
DEST=$1
PACKAGES="qtbase-opensource-src qtmultimedia-opensource-src sphinxbase pocketsphinx"
MIRROR=${ZORVEL_DEBIAN_MIRROR:-http://deb.debian.org/debian}
SUITE=${ZORVEL_DEBIAN_SUITE:-bookworm}
mkdir -p "$DEST"
missing=""
for p in $PACKAGES; do ls "$DEST"/${p}_*.dsc >/dev/null 2>&1 || missing="$missing $p"; done
[ -z "$missing" ] && exit 0

APT=$DEST/.apt
mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial"
echo "deb-src $MIRROR $SUITE main" >"$APT/sources.list"
set -- -o Dir::Etc::sourcelist="$APT/sources.list" -o Dir::Etc::sourceparts=- \
    -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" -o Debug::NoLocking=1
apt-get "$@" update -qq
cd "$DEST" && apt-get "$@" source --download-only $missing
