#!/usr/bin/env bash
# Opens each form in Qt Designer and saves it, so every .ui is stored exactly as Designer writes it
# (one element per line): a later change made in Designer then shows only itself in a diff.
#   tools/designer-save.sh [--check] [FILE.ui ...]     (default: every tracked .ui)
# --check saves copies and lists the forms Designer would rewrite (exit 1 when there are any).
# Needs designer (qttools5-dev-tools), xvfb-run (xvfb) and xdotool. There is no window manager under
# Xvfb, so the menu is clicked where Designer draws it: File, then Save.
set -euo pipefail
cd "$(dirname "$0")/.."
for c in designer xvfb-run xdotool; do
  command -v "$c" >/dev/null || { echo "missing: $c (apt-get install qttools5-dev-tools xvfb xdotool)"; exit 2; }
done
check=0
if [ "${1:-}" = "--one" ]; then :; elif [ "${1:-}" = "--check" ]; then check=1; shift; fi
files=("$@")
[ ${#files[@]} -gt 0 ] || mapfile -t files < <(git ls-files '*.ui')

save_one() {
  local f="$1" home
  home=$(mktemp -d)
  HOME="$home" XDG_CONFIG_HOME="" designer "$f" >/dev/null 2>&1 &
  local pid=$! w=""
  for _ in $(seq 1 80); do
    w=$(xdotool search --onlyvisible --name '^Qt Designer$' 2>/dev/null | head -1) && [ -n "$w" ] && break
    sleep 0.25
  done
  sleep 1.5
  xdotool mousemove 20 10 click 1
  sleep 0.7
  xdotool mousemove 49 111 click 1
  sleep 1.5
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
}
if [ "${1:-}" = "--one" ]; then save_one "$2"; exit 0; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "${files[@]}"; do
  mkdir -p "$work/$(dirname "$f")"
  cp "$f" "$work/$f"
done
printf '%s\n' "${files[@]}" | xargs -P 4 -I{} xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$0" --one "$work/{}"
changed=0
for f in "${files[@]}"; do
  if ! cmp -s "$f" "$work/$f"; then
    changed=1
    if [ $check -eq 1 ]; then echo "would change: $f"; else cp "$work/$f" "$f" && echo "saved: $f"; fi
  fi
done
[ $check -eq 1 ] && exit $changed
exit 0
