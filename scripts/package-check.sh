#!/usr/bin/env bash
# Checks the Debian package as a user would meet it: validates its desktop
# entry, metainfo and the package itself, installs it into a fresh Debian 12
# system (debootstrap, minbase) and there, as a new user without root and
# under Xvfb, starts the program from its desktop entry, opens New, saves a
# template and finds it again, opens the help book; then, with no display,
# publishes a widget from the command line; and removes the package.
# Needs root (debootstrap, chroot).   Usage: scripts/package-check.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."

need=()
for tool in debootstrap:debootstrap lintian:lintian desktop-file-validate:desktop-file-utils appstreamcli:appstream; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

step() { printf '\n== %s\n' "$*"; }

step "desktop-file-validate"
desktop-file-validate packaging/vellwick-glimmerkey.desktop && echo clean
step "appstreamcli validate --no-net"
appstreamcli validate --no-net packaging/org.vellwick.glimmerkey.metainfo.xml
step "lintian"
lintian --tag-display-limit 0 "$deb" || { echo "lintian found errors"; exit 1; }
echo "no errors"

root=$(mktemp -d /var/tmp/glimmerkey-check.XXXXXX)
chmod 755 "$root" # the new system's / must be open to its users
cleanup() {
  for m in dev/pts dev proc sys; do umount -l "$root/$m" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT

step "debootstrap bookworm (minbase) into $root"
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
mount -t proc proc "$root/proc"
mount -t sysfs sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

step "apt install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" \
  xvfb xauth xdotool x11-apps >/dev/null
in_root dpkg -s vellwick-glimmerkey | grep -E '^(Status|Version|Depends):'

step "a new user, no root, under Xvfb"
in_root useradd -m tester
cat >"$root/home/tester/session.sh" <<'SESSION'
#!/bin/bash
# Runs inside Xvfb as the new user.
set -euo pipefail
export HOME=/home/tester
mkdir -p "$HOME/bin"
# The help book opens in "the user's browser": this one writes down what it was given.
printf '#!/bin/sh\necho "$@" >> "$HOME/opened.txt"\n' > "$HOME/bin/xdg-open"
chmod +x "$HOME/bin/xdg-open"
export PATH=$HOME/bin:$PATH
wait_for() { for _ in $(seq 100); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done; echo "no window: $1"; return 1; }

exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/vellwick-glimmerkey.desktop)
echo "desktop entry Exec: $exec_line"
$exec_line > "$HOME/app.log" 2>&1 &
app=$!
wait_for "Vellwick Glimmerkey"
win=$(xdotool search --name "Vellwick Glimmerkey" | head -1)
sleep 1

folder=$HOME/.local/share/vellwick-glimmerkey/TavoletServer
shipped=$(ls /usr/lib/x86_64-linux-gnu/vellwick-glimmerkey/TavoletServer/*.tvt | wc -l)
copied=$(ls "$folder"/*.tvt | wc -l)
echo "shipped templates: $shipped, in the user's server folder: $copied"
[ "$shipped" -ge 10 ] && [ "$copied" -eq "$shipped" ]
grep -q "$folder/libTavoletServer.so" "$HOME/.config/Mirovasta/registry/HKEY_CURRENT_USER.hive"

xdotool windowfocus --sync "$win" key ctrl+n
wait_for "New "
echo "File > New shows its dialog"
xdotool key Escape
sleep 0.5

xdotool windowfocus --sync "$win" key ctrl+t
wait_for "Save as Template"
sleep 0.3
xdotool type --delay 20 CheckOne
xdotool key Return
sleep 1
xdotool key Return # "Save as the template success!"
sleep 0.5
test -f "$folder/CheckOne_TavoletServer.Glimmerkey.tvt"
echo "Save as Template wrote $folder/CheckOne_TavoletServer.Glimmerkey.tvt"

# The next New and Manage Templates list it: their windows are kept as
# pictures for a person to look at (the package check prints where).
xdotool windowfocus --sync "$win" key ctrl+n
wait_for "New "
sleep 0.5
xwd -root -silent -out "$HOME/new-after-save.xwd"
xdotool key Escape
sleep 0.5
xdotool windowfocus --sync "$win" key alt+o
sleep 0.3
xdotool key t
wait_for "Manage Templates"
sleep 0.5
xwd -root -silent -out "$HOME/manage-after-save.xwd"
xdotool key Escape
sleep 0.5

xdotool windowfocus --sync "$win" key F1
sleep 1
grep -q 'vellwick-glimmerkey.help/' "$HOME/opened.txt"
echo "Help opened: $(head -1 "$HOME/opened.txt")"
kill "$app"
wait "$app" 2>/dev/null || true

# A second start: the saved template is still in the folder New and Manage Templates list.
$exec_line --version
SESSION
chmod +x "$root/home/tester/session.sh"
in_root chown -R tester:tester /home/tester
in_root runuser -u tester -- xvfb-run -a -s "-screen 0 1024x768x24" /home/tester/session.sh

step "the command line, as the new user, with no display"
cat >"$root/home/tester/cli.sh" <<'CLI'
#!/bin/bash
set -euo pipefail
export HOME=/home/tester
unset DISPLAY WAYLAND_DISPLAY
cd "$HOME"
mkdir -p site
cp /usr/lib/x86_64-linux-gnu/vellwick-glimmerkey/TavoletServer/Azure_TavoletServer.Glimmerkey.tvt mine.tvt
vellwick-glimmerkey code mine.tvt > code.html
grep -q 'data-tavolet-widget=' code.html
echo "code: $(wc -c < code.html) bytes"
vellwick-glimmerkey new-page mine.tvt site/button.html
head -c 6 site/button.html | grep -q '<HTML>'
grep -qF "$(head -c 60 code.html)" site/button.html
echo "new-page wrote site/button.html with the same code"
CLI
chmod +x "$root/home/tester/cli.sh"
in_root chown tester:tester /home/tester/cli.sh
in_root runuser -u tester -- /home/tester/cli.sh
zcat "$root/usr/share/man/man1/vellwick-glimmerkey.1.gz" | grep -q '^\.B vellwick-glimmerkey new\\-page'
echo "the man page documents the commands"

out=${PACKAGE_CHECK_OUT:-build/package-check}
mkdir -p "$out"
for shot in new-after-save manage-after-save; do
  convert "xwd:$root/home/tester/$shot.xwd" -trim +repage "$out/$shot.png" 2>/dev/null ||
    cp "$root/home/tester/$shot.xwd" "$out/"
done
echo "pictures of the New and Manage Templates dialogs after the save: $out/"

step "apt remove"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vellwick-glimmerkey >/dev/null
test ! -e "$root/usr/bin/vellwick-glimmerkey"
test -f "$root/home/tester/.local/share/vellwick-glimmerkey/TavoletServer/CheckOne_TavoletServer.Glimmerkey.tvt"
echo "removed; the user's templates are still there"
step "package-check passed"
