#!/usr/bin/env bash
# Installs what building and testing Galvora needs (Debian 12 / Ubuntu), through sudo when not root.
set -euo pipefail
packages=(cmake g++ make pkg-config ccache qt6-base-dev libturbojpeg0-dev libgtest-dev)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
