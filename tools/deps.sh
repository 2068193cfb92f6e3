#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing; with --test also
# the peers and tools the tests use (a real Redmine, an SMTP server, the formatter).
set -euo pipefail
PEL_PACKAGES=(qtbase5-dev libqt5xmlpatterns5-dev qtwebengine5-dev qttools5-dev qttools5-dev-tools
  libqt5svg5-dev qttranslations5-l10n cmake g++)
if [ "${1:-}" = "--test" ]; then
  PEL_PACKAGES+=(xvfb python3-aiosmtpd clang-format redmine redmine-sqlite thin)
fi
# The loaders' fuzz targets (tools/fuzz.sh): never part of the normal test run.
if [ "${1:-}" = "--fuzz" ]; then
  PEL_PACKAGES+=(clang-14 libclang-rt-14-dev)
fi

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
  # The tracker used by the tests: one SQLite instance with the default data, asked nothing.
  if printf '%s\n' "${missing[@]}" | grep -qx redmine; then
    $SUDO debconf-set-selections <<'SEL'
redmine redmine/current-instances string default
redmine redmine/instances/default/dbconfig-install boolean true
redmine redmine/instances/default/database-type select sqlite3
redmine redmine/instances/default/default-language select en
SEL
  fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
