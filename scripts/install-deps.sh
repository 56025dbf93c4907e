#!/usr/bin/env bash
# Installs the Debian 12 packages the designer needs to build, run and test.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-translations-l10n qt6-qpa-plugins
  libgl-dev libglx-dev libopengl-dev
  fonts-liberation fonts-dejavu-core
  libgif-dev libsane-dev sane-utils libtiff-dev libjpeg-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool imagemagick poppler-utils netpbm
  cups cups-client cups-bsd xclip librsvg2-bin libxml2-utils
  libpodofo-dev libdxflib-dev python3-ezdxf
  lintian appstream desktop-file-utils dpkg-dev fakeroot file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
