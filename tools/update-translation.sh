#!/usr/bin/env bash
# Refreshes src/Pelmorine_jp.ts from the sources. Run by hand after texts change; the build only
# compiles the .ts, it never rewrites it. -no-sort keeps the order the file already has: sorting the
# contexts would rewrite thousands of unchanged lines and bury the real change in the diff.
set -euo pipefail
cd "$(dirname "$0")/.."
/usr/lib/qt5/bin/lupdate -no-obsolete -no-sort -locations none \
  core shell workspace members model instance outdef output docs qa comm views redmine \
  -ts src/Pelmorine_jp.ts
