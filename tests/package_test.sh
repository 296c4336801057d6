#!/bin/sh
# Builds the Debian package, unpacks it into a scratch root and runs the installed korvel-cli there.
set -eu
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null
deb=$(ls "$scratch"/out/korvel_*_amd64.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6gui6 || { echo "package_test: no Qt dependency declared" >&2; exit 1; }
dpkg -x "$deb" "$scratch/root"
for f in usr/bin/korvel usr/bin/korvel-cli usr/lib/korvel/korvel-qt.so usr/share/applications/korvel.desktop \
         usr/share/icons/hicolor/scalable/apps/korvel.svg usr/share/mime/packages/korvel.xml \
         usr/share/doc/korvel/copyright usr/share/doc/korvel/changelog.gz usr/share/man/man1/korvel.1.gz \
         usr/share/man/man1/korvel-cli.1.gz; do
  [ -e "$scratch/root/$f" ] || { echo "package_test: $f missing" >&2; exit 1; }
done
grep -q '^MimeType=application/x-jww;application/x-jws;' "$scratch/root/usr/share/applications/korvel.desktop"
grep -q '^License: MIT' "$scratch/root/usr/share/doc/korvel/copyright"
gzip -t "$scratch/root/usr/share/doc/korvel/changelog.gz"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$scratch/root/usr/share/applications/korvel.desktop"
fi
if command -v xmllint >/dev/null; then
  xmllint --noout "$scratch/root/usr/share/mime/packages/korvel.xml"
fi
"$scratch/root/usr/bin/korvel-cli" convert --colors --layers "$source/examples/plan.jwwin" -o "$scratch/installed.vnt"
"$build/korvel-cli" convert --colors --layers "$source/examples/plan.jwwin" -o "$scratch/built.vnt"
cmp "$scratch/installed.vnt" "$scratch/built.vnt"
# The installed korvel-cli finds its drawing layer in ../lib/korvel.
"$scratch/root/usr/bin/korvel-cli" preview "$source/examples/plan.jwwin" -o "$scratch/installed.png" --trace "$scratch/installed.trace"
"$build/korvel-cli" preview "$source/examples/plan.jwwin" -o "$scratch/built.png" --trace "$scratch/built.trace"
cmp "$scratch/installed.png" "$scratch/built.png"
cmp "$scratch/installed.trace" "$scratch/built.trace"
"$scratch/root/usr/bin/korvel" --version
echo "package_test: $(basename "$deb") installs and runs"
