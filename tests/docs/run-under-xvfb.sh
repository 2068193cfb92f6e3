#!/bin/sh
# Runs a test binary on a virtual X display with the recording xdg-open first on PATH, so the
# desktop's real opener is what the program reaches.
set -e
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$HOME/run"
chmod 700 "$HOME/run"
rm -f "$PEL_XDG_RECORD"
PATH="$here/bin:$PATH" QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
