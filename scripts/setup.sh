#!/usr/bin/env bash
# Installs what building and testing Galvora needs (Debian 12 / Ubuntu), through sudo when not root.
set -euo pipefail
packages=(cmake g++ make pkg-config ccache qt6-base-dev libturbojpeg0-dev libgtest-dev nodejs)
# WebP and TIFF through Qt's image plugins; HEIC/HEIF and AVIF through libheif and its own decoders
# (Debian 12's libheif1 is built with them: libde265-0 decodes HEVC, libdav1d6 AV1). The tests make
# such pictures with heif-enc, avifenc and cwebp (a test whose program is missing skips itself).
packages+=(qt6-image-formats-plugins libheif-dev libde265-0 libheif-examples libavif-bin webp)
# EXIF and XMP through Exiv2.
packages+=(libexiv2-dev)
# Faces with Arial's metrics, which the windows' fixed layout was made for.
packages+=(fonts-liberation2)
# The install test drives the installed program on a virtual display; CI checks the desktop entry
# and the metainfo and lintian the package; `cpack -G DEB` reads the package's dependencies with
# dpkg-shlibdeps.
packages+=(python3 xvfb xauth xdotool desktop-file-utils appstream dpkg-dev lintian)
# The web album's page is checked with tidy.
packages+=(tidy)
packages+=("$@")

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
updated=""

# Installs those of the given packages that are not installed yet.
install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ -z "$updated" ]; then
    $SUDO apt-get update -qq
    updated=1
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing "${packages[@]}"
# The browser test drives Debian's chromium; where it cannot be installed that test skips itself.
install_missing chromium || echo "chromium could not be installed: the browser test will be skipped"
# The production benchmark compares with vipsthumbnail; without it that column is skipped.
install_missing libvips-tools || echo "libvips-tools could not be installed: the benchmark skips vipsthumbnail"
# puppeteer-core for the web album's browser test, at the version the lock file pins. It downloads
# no browser: it drives Debian's chromium.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ ! -d "$here/tests/browser/node_modules" ]; then
  npm ci --prefix "$here/tests/browser" --no-audit --no-fund || echo "npm ci failed: the web album's browser test will be skipped"
fi
