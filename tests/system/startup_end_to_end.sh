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
"$regsvr" -u "$server"
