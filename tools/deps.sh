#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail
PEL_PACKAGES=(qtbase5-dev libqt5xmlpatterns5-dev qtwebengine5-dev qttools5-dev qttools5-dev-tools
  libqt5svg5-dev cmake g++ xvfb python3-aiosmtpd clang-format)

missing=()
for p in "${PEL_PACKAGES[@]}"; do
  if [ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" != "install ok installed" ]; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
