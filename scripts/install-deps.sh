#!/usr/bin/env bash
# Installs every Debian package needed to build, run, test and benchmark the editor.
# Run as root on Debian 12. Skips the install when everything is already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libqt6svg6
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libglib2.0-dev
  libgraphicsmagick++1-dev graphicsmagick libtiff-dev libjpeg-dev
  libexiv2-dev liblcms2-dev libheif-dev libjxl-dev libwebp-dev zlib1g-dev
  libheif-examples libjxl-tools
  libraw-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-dejavu-extra fontconfig
  xvfb xauth
  dpkg-dev lintian appstream desktop-file-utils file python3
  imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
