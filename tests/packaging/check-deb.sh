#!/usr/bin/env bash
# Builds the .deb from this build folder and checks that it holds everything
# a desktop and a shell look for, owned by root, and that it declares the
# libraries the programs link, and that Debian's package checker finds no
# error and no warning in it.
# Usage: check-deb.sh BUILD_DIR SOURCE_DIR VERSION CPACK
set -euo pipefail
build=$1 source=$2 version=$3 cpack=$4
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" ||
  { cat "$out/cpack.log"; exit 1; }
deb=$out/orvex_${version}_amd64.deb
[[ -f $deb ]] || { echo "no $deb"; ls "$out"; exit 1; }

status=0
fail() { echo "FAIL: $*"; status=1; }

contents=$(dpkg-deb --contents "$deb")
expected=(
  usr/bin/orvex usr/bin/orvex-cli
  usr/share/orvex/Orvex.tip
  usr/share/applications/orvex.desktop
  usr/share/metainfo/org.orvex.Orvex.metainfo.xml
  usr/share/man/man1/orvex.1.gz usr/share/man/man1/orvex-cli.1.gz
  usr/share/bash-completion/completions/orvex-cli
  usr/share/doc/orvex/copyright usr/share/doc/orvex/changelog.gz
)
for icon in "$source"/resources/icons/orvex-*.png; do
  size=$(basename "$icon" .png); size=${size#orvex-}
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/orvex.png")
done
for path in "${expected[@]}"; do
  grep -q " \./$path\$" <<<"$contents" || fail "$path missing"
done
for program in orvex orvex-cli; do
  grep -q "^-rwxr-xr-x root/root .* \./usr/bin/$program\$" <<<"$contents" ||
    fail "usr/bin/$program is not an executable owned by root"
done
if grep -v ' root/root ' <<<"$contents"; then fail "files not owned by root"; fi

info=$(dpkg-deb --info "$deb")
for field in "Package: orvex" "Version: $version" "Architecture: amd64"; do
  grep -q "^ $field\$" <<<"$info" || fail "no '$field'"
done
# The package names of Depends, one a line, without their versions.
depends=$(sed -n 's/^ Depends: //p' <<<"$info" | sed 's/ *([^)]*)//g; s/, */\n/g')
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6gui6 qt6-qpa-plugins; do
  grep -qxF "$library" <<<"$depends" || fail "Depends lacks $library: ${depends//$'\n'/, }"
done
# The papers in usr/share/doc/orvex, as the package holds them.
paper() { dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/doc/orvex/$1"; }
paper changelog.gz | gunzip | sed -n 1p | grep "^orvex ($version) " >/dev/null ||
  fail "the changelog's latest entry is not version $version"

licence=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' \
  "$source/packaging/org.orvex.Orvex.metainfo.xml")
paper copyright | grep -x "License: $licence" >/dev/null ||
  fail "the copyright file does not state the metainfo's licence, $licence"

"$source/packaging/lintian-check.sh" "$deb" || fail "lintian"
((status == 0)) && echo "$deb: ${#expected[@]} files and dependencies as expected"
exit $status
