#!/usr/bin/env bash
# Makes a screenshot of the main window under Xvfb, on a fresh home with the
# reference server registered:   scripts/screenshot.sh [OUT.png] [--menu|--about]
# With --menu the File menu is opened and "Open..." hovered, so the status
# bar shows its prompt. With --about Help > About is opened and the shot is
# taken while the credits scroll. Needs a built tree (make build).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshot.png}")
menu=${2:-}
bin=build/dev/bin

need=()
for tool in xvfb-run:xvfb import:imagemagick xdotool:xdotool; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config
"$bin/glimmerkey-regsvr" "$bin/TavoletServer/libTavoletServer.so" >/dev/null

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" & app=$!
  for _ in $(seq 50); do
    win=$(xdotool search --name "Vellwick Glimmerkey" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.1
  done
  sleep 1
  if [ "$3" = "--menu" ]; then
    xdotool windowfocus --sync "$win" key alt+f
    sleep 0.5
    xdotool key Down Down
    sleep 0.5
  elif [ "$3" = "--about" ]; then
    xdotool windowfocus --sync "$win" key alt+h
    sleep 0.5
    xdotool key Up Return
    sleep 0.8
  fi
  import -window root "$2"
  kill "$app"
' _ "$bin/vellwick-glimmerkey" "$out" "$menu"
echo "$out"
