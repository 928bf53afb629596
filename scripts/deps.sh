#!/usr/bin/env bash
# Installs the Debian packages that building ("run"), testing ("test") or
# building the Debian package ("package") needs. As root, missing packages
# are installed; otherwise the exact apt-get line is printed and the script
# fails.
set -euo pipefail

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libcurl4-openssl-dev libidn2-dev fonts-wqy-microhei
  qt6-translations-l10n)
if [ "${1:-run}" = test ]; then
  packages+=(libgtest-dev libcpp-httplib-dev libssl-dev xvfb xauth desktop-file-utils appstream)
fi
if [ "${1:-run}" = package ]; then
  packages+=(dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing packages; install them with:"
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}"
  exit 1
fi
