#!/usr/bin/env bash
# Installs into a scratch prefix and checks that a desktop finds the program: binaries, a valid
# menu entry and its icon.
set -euo pipefail
build=$1
prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
for f in bin/quorvel bin/quorvel-picsim bin/quorvel-convert share/applications/quorvel.desktop \
         share/icons/hicolor/scalable/apps/quorvel.svg; do
    if [ ! -e "$prefix/$f" ]; then
        echo "missing from the install tree: $f"
        fail=1
    fi
done
[ -x "$prefix/bin/quorvel" ] || { echo "bin/quorvel is not executable"; fail=1; }

desktop="$prefix/share/applications/quorvel.desktop"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$desktop" || fail=1
else
    echo "desktop-file-validate not found (Debian package desktop-file-utils)"
    fail=1
fi
grep -qx 'Exec=quorvel' "$desktop" || { echo "the menu entry does not start quorvel"; fail=1; }
grep -qx 'Icon=quorvel' "$desktop" || { echo "the menu entry names no quorvel icon"; fail=1; }
exit $fail
