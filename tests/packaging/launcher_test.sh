#!/usr/bin/env bash
# The installed launcher, run against a stand-in installation: a new user's
# first start gets the shipped templates; the user's own changes survive an
# upgrade; a template the package adds later reaches the user once.
set -euo pipefail
launcher_in=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
program=$work/program
mkdir -p "$program/TavoletServer/media" "$program/TavoletServer/Sample"
touch "$program/TavoletServer/libTavoletServer.so"
for name in Azure Candy; do echo "$name" >"$program/TavoletServer/${name}_TavoletServer.Glimmerkey.tvt"; done
# The program and the registration tool write down how they were run.
printf '#!/bin/sh\necho "regsvr $*" >> "%s/calls"\n' "$work" >"$program/glimmerkey-regsvr"
printf '#!/bin/sh\necho "program $*" >> "%s/calls"\n' "$work" >"$program/vellwick-glimmerkey"
chmod +x "$program/glimmerkey-regsvr" "$program/vellwick-glimmerkey"
sed "s|@PROGRAM_DIR@|$program|" "$launcher_in" >"$work/launcher"
chmod +x "$work/launcher"

export HOME=$work/home XDG_DATA_HOME=$work/data
folder=$XDG_DATA_HOME/vellwick-glimmerkey/TavoletServer
fail() { echo "FAILED: $*"; exit 1; }

"$work/launcher" page.tvt
[ -f "$folder/Azure_TavoletServer.Glimmerkey.tvt" ] || fail "first start: no shipped template"
[ "$(readlink "$folder/libTavoletServer.so")" = "$program/TavoletServer/libTavoletServer.so" ] || fail "server link"
grep -qx "regsvr $folder/libTavoletServer.so" "$work/calls" || fail "not registered for the user's folder"
grep -qx "program page.tvt" "$work/calls" || fail "the program did not get its arguments"

# The user edits one template and deletes another; the package is upgraded
# with changed templates and a new one.
echo "mine" >"$folder/Azure_TavoletServer.Glimmerkey.tvt"
rm "$folder/Candy_TavoletServer.Glimmerkey.tvt"
for name in Azure Candy Ember; do echo "$name 2" >"$program/TavoletServer/${name}_TavoletServer.Glimmerkey.tvt"; done
"$work/launcher"
[ "$(cat "$folder/Azure_TavoletServer.Glimmerkey.tvt")" = "mine" ] || fail "the user's template was overwritten"
[ ! -e "$folder/Candy_TavoletServer.Glimmerkey.tvt" ] || fail "a template the user deleted came back"
[ "$(cat "$folder/Ember_TavoletServer.Glimmerkey.tvt")" = "Ember 2" ] || fail "the new template did not arrive"

: >"$work/calls"
"$work/launcher" --version
[ "$(cat "$work/calls")" = "program --version" ] || fail "--version set things up first"
echo "launcher: 1 passed, 0 failed"
