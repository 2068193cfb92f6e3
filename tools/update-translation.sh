#!/usr/bin/env bash
# Refreshes src/Pelmorine_jp.ts from the sources. Run by hand after texts change; the build only
# compiles the .ts, it never rewrites it.
set -euo pipefail
cd "$(dirname "$0")/.."
/usr/lib/qt5/bin/lupdate -no-obsolete -locations none \
  core shell workspace members model instance outdef output docs qa comm views redmine \
  -ts src/Pelmorine_jp.ts
