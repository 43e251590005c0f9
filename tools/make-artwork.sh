#!/usr/bin/env bash
# Redraws the editor's images: builds the artwork generator natively and
# writes resources/*.png. Installs the generator's own Debian packages (cairo,
# libpng and the fonts the lettering uses) with apt-get when missing.
#
#   tools/make-artwork.sh             the six images in resources/
#   tools/make-artwork.sh --preview   also composites in build-art/preview*.png
#
# The output is deterministic: rerunning it leaves the committed files as they are.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ pkg-config libcairo2-dev libfreetype-dev libpng-dev
  fonts-dejavu-core fonts-dejavu-extra fonts-lato fonts-liberation)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

build=build-art/generator
cmake -S resources/artwork -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
if [ "${1:-}" = "--preview" ]; then
  "$build/tk42_artwork" resources build-art
  echo "previews: build-art/preview.png, build-art/preview_2x.png, build-art/preview_moved*.png"
else
  "$build/tk42_artwork" resources
fi
echo "images written to resources/"
