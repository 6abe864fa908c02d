#!/usr/bin/env bash
# Installs the Debian 12 packages Torvel builds with, and any named as arguments,
# when one is missing.
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libqscintilla2-qt6-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libzstd-dev fonts-dejavu-core
  qt6-translations-l10n libqscintilla2-qt6-l10n "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
