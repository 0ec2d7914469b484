#!/usr/bin/env bash
# Builds the .deb from this build folder and checks that it holds everything
# a desktop and a shell look for, owned by root, and that it declares the
# libraries the programs link, and that Debian's package checker finds no
# error and no warning in it. With PYTHON_ENV (the build has the Python
# module), the same for python3-orvex, whose module Debian's Python imports
# from where the package puts it; PYTHON_ENV is what the interpreter needs
# beside it ("-" for nothing, else VAR=VALUE words: a sanitizer's runtime).
# Usage: check-deb.sh BUILD_DIR SOURCE_DIR VERSION CPACK [PYTHON_ENV]
set -euo pipefail
build=$1 source=$2 version=$3 cpack=$4 python_env=${5:-}
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

if [[ -n $python_env ]]; then
  pydeb=$out/python3-orvex_${version}_amd64.deb
  [[ -f $pydeb ]] || { echo "no $pydeb"; ls "$out"; exit 1; }
  site=usr/lib/python3/dist-packages
  pycontents=$(dpkg-deb --contents "$pydeb")
  for path in $site/orvex.cpython-311-x86_64-linux-gnu.so $site/orvex.pyi \
    usr/share/doc/python3-orvex/copyright usr/share/doc/python3-orvex/changelog.gz; do
    grep -q " \./$path\$" <<<"$pycontents" || fail "python3-orvex: $path missing"
  done
  pydepends=$(dpkg-deb --field "$pydeb" Depends)
  for wanted in "python3 (>= 3.11)" "python3 (<< 3.12)" python3-numpy libtiff6; do
    grep -qF "$wanted" <<<"$pydepends" || fail "python3-orvex Depends lacks $wanted: $pydepends"
  done
  if grep -q "python3\|numpy" <<<"$(dpkg-deb --field "$deb" Depends)"; then
    fail "orvex depends on Python"
  fi
  "$source/packaging/lintian-check.sh" "$pydeb" || fail "lintian on python3-orvex"
  # Debian's Python finds the module where the package puts it.
  root=$out/root
  dpkg-deb -x "$pydeb" "$root"
  /usr/bin/python3 -c "import sys; sys.exit('/$site' not in sys.path)" ||
    fail "/$site is not on Debian's Python path"
  env_words=()
  [[ $python_env != - ]] && read -ra env_words <<<"$python_env"
  env "${env_words[@]}" PYTHONPATH="$root/$site" /usr/bin/python3 -c "
import numpy, orvex
p = orvex.uniform(3, 2, 7)
p.negative()
assert p.measure()['mean'] == 248 and numpy.asarray(p).shape == (2, 3)
assert orvex.__file__.startswith('$root/$site/')" || fail "python3 -c 'import orvex' from the package"
fi
((status == 0)) && echo "$deb: ${#expected[@]} files and dependencies as expected"
exit $status
