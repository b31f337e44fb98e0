#!/usr/bin/env bash
# The files that integrate the editor with the desktop: the entry validates, the MIME package is
# accepted by update-mime-database with the globs of both trace kinds, and the two agree.
set -euo pipefail
dist=${1:?usage: check_desktop_files.sh DIST_FOLDER}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
bad() { echo "FAIL: $*"; fail=1; }

out=$(desktop-file-validate "$dist/kestrova3d.desktop" 2>&1) || bad "desktop-file-validate failed"
# Hints are advice; errors and warnings are not.
if grep -Eiq 'error|warning' <<<"$out"; then bad "desktop entry: $out"; fi

xmllint --noout "$dist/kestrova3d-mime.xml" || bad "MIME package is not well-formed XML"
xmllint --noout "$dist/icons/kestrova3d.svg" || bad "scalable icon is not well-formed XML"

mkdir -p "$tmp/mime/packages"
cp "$dist/kestrova3d-mime.xml" "$tmp/mime/packages/"
XDG_DATA_DIRS=$tmp XDG_DATA_HOME=$tmp update-mime-database "$tmp/mime" >"$tmp/update.log" 2>&1 || bad "update-mime-database: $(cat "$tmp/update.log")"
if [ -s "$tmp/update.log" ]; then bad "update-mime-database complained: $(cat "$tmp/update.log")"; fi
for pair in application/x-kestrova3d-dfkv:'*.dfkv' application/x-kestrova3d-ep3t:'*.ep3t'; do
    grep -qxF "50:$pair" "$tmp/mime/globs2" 2>/dev/null || bad "globs2 lacks $pair"
done
grep -qx 'application/x-kestrova3d-dfkv text/plain' "$tmp/mime/subclasses" ||
    bad "a trace is not known as text"

# Every type the entry opens is one the package defines, and the other way round.
entry_types=$(sed -n 's/^MimeType=//p' "$dist/kestrova3d.desktop" | tr ';' '\n' | sed '/^$/d' | sort)
package_types=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$dist/kestrova3d-mime.xml" | sort)
[ -n "$entry_types" ] && [ "$entry_types" = "$package_types" ] ||
    bad "entry types [$entry_types] differ from package types [$package_types]"
icon=$(sed -n 's/^Icon=//p' "$dist/kestrova3d.desktop")
[ -f "$dist/icons/$icon.svg" ] || bad "no scalable icon named $icon"

# The PNG header: width and height, each four big-endian bytes after "IHDR".
size=$(od -An -tu1 -j16 -N8 "$dist/icons/kestrova3d-256.png" | tr -s ' ' | sed 's/^ //')
[ "$size" = "0 0 1 0 0 0 1 0" ] || bad "the PNG icon is not 256 x 256 (header bytes $size)"

[ $fail -eq 0 ] && echo "desktop files OK"
exit $fail
