#!/usr/bin/env bash
# Registers the reference server for a fresh user and starts the application
# on it, which must come up with its widget and leave cleanly.
set -euo pipefail
app=$1 regsvr=$2 server=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config

# --help and --version answer without a display, a registry or a server.
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$app" --help | grep -q '^Usage: vellwick-glimmerkey'
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$app" --version | grep -qx 'Vellwick Glimmerkey [0-9.]*'
[ ! -e "$XDG_CONFIG_HOME/Mirovasta" ] || { echo "--help touched the configuration"; exit 1; }

"$regsvr" "$server"
grep -q 'TavoletServer.Glimmerkey' "$XDG_CONFIG_HOME/Mirovasta/registry/HKEY_CURRENT_USER.hive"
timeout 60 "$app" --quit-when-shown
echo "started and quit cleanly"

# A widget file named relative to where the program starts opens, though the
# program moves to its "My Widget" folder first. A failed open would wait on
# its message box until the timeout.
mkdir -p "$home/app/My Widget" "$home/work"
cp "$app" "$home/app/"
cp "$(dirname "$server")"/Azure_*.tvt "$home/work/mine.tvt"
(cd "$home/work" && timeout 30 "$home/app/$(basename "$app")" --quit-when-shown mine.tvt) ||
  { echo "a relative widget path did not open"; exit 1; }
echo "opened a widget file named relative to the start folder"
"$regsvr" -u "$server"
