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
for f in usr/bin/korvel usr/bin/korvel-cli usr/share/applications/korvel.desktop \
         usr/share/icons/hicolor/scalable/apps/korvel.svg usr/share/mime/packages/korvel.xml \
         usr/share/doc/korvel/copyright usr/share/doc/korvel/changelog.gz usr/share/man/man1/korvel.1.gz \
         usr/share/man/man1/korvel-cli.1.gz usr/share/icons/hicolor/16x16/apps/korvel.png \
         usr/share/icons/hicolor/48x48/apps/korvel.png usr/share/icons/hicolor/256x256/apps/korvel.png; do
  [ -e "$scratch/root/$f" ] || { echo "package_test: $f missing" >&2; exit 1; }
done
grep -q '^MimeType=application/x-jww;application/x-jws;' "$scratch/root/usr/share/applications/korvel.desktop"
grep -q '^License: MIT' "$scratch/root/usr/share/doc/korvel/copyright"
gzip -t "$scratch/root/usr/share/doc/korvel/changelog.gz"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$scratch/root/usr/share/applications/korvel.desktop"
fi
# Debian's own checker; what it still says is explained in the README's packaging notes.
if command -v lintian >/dev/null; then
  echo "package_test: lintian:"
  lintian --tag-display-limit 0 "$deb" 2>&1 | sed 's/^/  /' || true
fi
for size in 16 48 256; do
  # A PNG's width and height: the big-endian words at bytes 16 and 20.
  [ "$(python3 -c 'import struct, sys; print(*struct.unpack(">II", open(sys.argv[1], "rb").read(24)[16:]))' \
      "$scratch/root/usr/share/icons/hicolor/${size}x$size/apps/korvel.png")" = "$size $size" ] ||
    { echo "package_test: the ${size}-pixel icon is not $size pixels" >&2; exit 1; }
done
if command -v xmllint >/dev/null; then
  xmllint --noout "$scratch/root/usr/share/mime/packages/korvel.xml"
fi
"$scratch/root/usr/bin/korvel-cli" convert --colors --layers "$source/examples/plan.jwwin" -o "$scratch/installed.vnt"
"$build/korvel-cli" convert --colors --layers "$source/examples/plan.jwwin" -o "$scratch/built.vnt"
cmp "$scratch/installed.vnt" "$scratch/built.vnt"
"$scratch/root/usr/bin/korvel-cli" preview "$source/examples/plan.jwwin" -o "$scratch/installed.png" --trace "$scratch/installed.trace"
"$build/korvel-cli" preview "$source/examples/plan.jwwin" -o "$scratch/built.png" --trace "$scratch/built.trace"
cmp "$scratch/installed.png" "$scratch/built.png"
cmp "$scratch/installed.trace" "$scratch/built.trace"
"$scratch/root/usr/bin/korvel" --version
echo "package_test: $(basename "$deb") installs and runs"
