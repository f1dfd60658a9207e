#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Quick when everything is present already.
set -euo pipefail
PKGS=(
  cmake ninja-build g++ pkg-config git python3
  qt6-base-dev qt6-image-formats-plugins libqt6svg6 qt6-qpa-plugins
  zlib1g-dev liblcms2-dev libgtest-dev googletest
  fonts-liberation fonts-dejavu-core fonts-dejavu-extra fonts-wqy-zenhei
  libgs-common ghostscript qpdf poppler-utils
  xvfb xauth ccache
  libharfbuzz-dev libfontconfig-dev libfreetype-dev libjpeg62-turbo-dev
  chromium nodejs cups printer-driver-cups-pdf
  qt6-translations-l10n icc-profiles-free argyll libcli11-dev imagemagick netpbm clang-format
  clang-14 libclang-rt-14-dev
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The browser test installs puppeteer-core with npm; Debian ships npm apart
# from nodejs (other builds of nodejs bring their own).
if ! command -v npm >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends npm
fi
