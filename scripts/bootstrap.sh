#!/usr/bin/env bash
# Installs, with apt, what building and testing need; checks first so that a
# second run costs only a few dpkg queries.
set -euo pipefail

packages=(g++ make cmake pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest
  qt6-translations-l10n libx11-dev xvfb xdotool xclip poppler-utils imagemagick
  help2man appstream dpkg-dev file bash-completion man-db lintian desktop-file-utils
  libspng-dev libdeflate-dev zlib1g-dev libpng-dev libtiff-dev libjpeg62-turbo-dev libgif-dev python3-pil
  python3-dev pybind11-dev python3-numpy python3-pytest)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(libbenchmark-dev libopencv-dev python3-opencv)
fi
if [[ "${1:-}" == "--fuzz" ]]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
