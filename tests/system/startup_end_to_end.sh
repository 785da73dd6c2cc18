#!/usr/bin/env bash
# Registers the reference server for a fresh user and starts the application
# on it, which must come up with its widget and leave cleanly.
set -euo pipefail
app=$1 regsvr=$2 server=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config

"$regsvr" "$server"
grep -q 'TavoletServer.Glimmerkey' "$XDG_CONFIG_HOME/Mirovasta/registry/HKEY_CURRENT_USER.hive"
timeout 60 "$app" --quit-when-shown
echo "started and quit cleanly"
"$regsvr" -u "$server"
