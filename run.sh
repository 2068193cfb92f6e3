#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pelmorine.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
tools/build.sh
# The embedded web view refuses to start as root unless its sandbox is off.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
exec ./build/pelmorine "$@"
