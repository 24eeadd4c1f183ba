#!/usr/bin/env bash
# A release on Debian 13 (trixie), the current stable, in a minimal chroot:
#
#   tools/package/check-debian13.sh RELEASE_DIR
#
# makes the chroot with debootstrap from Debian's mirror, adds the release's apt
# repository the way README.md tells a user to (keyring, tessaryn.sources, with a file:
# URI for the copy inside the chroot), installs tessaryn with apt, checks the hack where
# XScreenSaver looks for it, its libraries, its settings XML, and that it draws on an
# Xvfb in the chroot; then builds the source package there from the .dsc. Prints each
# step's time. Needs root and the network path to Debian's mirror; not a CI tier.
set -euo pipefail

release=$(realpath "${1:?release directory}")
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
root=$(mktemp -d /var/tmp/tessaryn-trixie.XXXXXX)
mounted=no
cleanup() {
  [ "$mounted" = no ] || umount "$root/proc" || true
  if [ -n "${KEEP_CHROOT:-}" ]; then echo "check-debian13: the chroot is kept in $root"; else rm -rf "$root"; fi
}
trap cleanup EXIT

step() { printf '%-58s %4d s\n' "$1" $((SECONDS - start)); start=$SECONDS; }
failed=0
verdict() {
  if "${@:2}"; then echo "  ok: $1"; else echo "  FAILED: $1"; failed=$((failed + 1)); fi
}
in_root() { chroot "$root" env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"; }
apt_in_root() { in_root apt-get -q -y -o APT::Sandbox::User=root "$@"; }

start=$SECONDS
debootstrap --variant=minbase trixie "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
mount -t proc proc "$root/proc"
mounted=yes
step "debootstrap --variant=minbase trixie"

mkdir -p "$root/srv/tessaryn" "$root/srv/source"
cp -r "$release/apt" "$root/srv/tessaryn/"
install -m 644 "$release/tessaryn-archive-keyring.gpg" "$root/usr/share/keyrings/"
sed 's|^URIs: .*|URIs: file:/srv/tessaryn/apt|' "$release/tessaryn.sources" \
  >"$root/etc/apt/sources.list.d/tessaryn.sources"
apt_in_root update >/dev/null
apt_in_root install tessaryn >"$root/install.log" 2>&1 || { tail "$root/install.log"; exit 1; }
step "apt install tessaryn (from the release's repository)"
echo "  $(in_root dpkg-query -W -f='${Package} ${Version}, XScreenSaver ' tessaryn)$(in_root dpkg-query -W -f='${Version}' xscreensaver)"

hack=/usr/libexec/xscreensaver/tessaryn
apt_in_root install --no-install-recommends xvfb xauth x11-apps libxml2-utils >/dev/null 2>&1
verdict "the hack is in XScreenSaver's hack folder" in_root test -x "$hack"
verdict "every library the hack needs is found" bash -c '! chroot "$0" ldd "$1" | grep -q "not found"' "$root" "$hack"
verdict "its settings XML is well-formed" in_root xmllint --noout /usr/share/xscreensaver/config/tessaryn.xml
# On a virtual screen in the chroot: the clock is drawn (some light on the screen, the
# most of it black), waited for rather than timed.
# NOTE: the chroot shares the machine's abstract X sockets: a display number another X
# server holds would connect the chroot's clients to that server.
screenshot() { in_root xwd -root -display ":$display" -silent -out /tmp/screen.xwd 2>/dev/null; }
draws() {
  local xvfb hack_pid=0 mean=0 drawn=1
  display=57
  while [ -e "/tmp/.X$display-lock" ] || grep -q "@/tmp/.X11-unix/X$display\$" /proc/net/unix; do
    display=$((display + 1))
  done
  # chroot and env exec: $! is the X server, then the hack, themselves.
  chroot "$root" Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 120); do
    sleep 0.5
    kill -0 "$xvfb" 2>/dev/null || { echo "    Xvfb :$display ended"; break; }
    if [ "$hack_pid" -eq 0 ]; then
      # The hack starts once the X server answers.
      screenshot || continue
      chroot "$root" env DISPLAY=":$display" "$hack" -root >/dev/null 2>&1 &
      hack_pid=$!
      continue
    fi
    kill -0 "$hack_pid" 2>/dev/null || { echo "    the hack ended"; break; }
    screenshot || continue
    mean=$(convert "xwd:$root/tmp/screen.xwd" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
    if awk -v m="$mean" 'BEGIN { exit !(m > 0.005 && m < 0.5) }'; then drawn=0; break; fi
  done
  echo "    mean brightness of the screen: $mean"
  [ "$hack_pid" -eq 0 ] || kill "$hack_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  return "$drawn"
}
verdict "the hack draws the clock on an Xvfb in the chroot" draws
step "checks of the installed hack"

cp "$release"/tessaryn_*.dsc "$release"/tessaryn_*.orig.tar.gz* "$release"/tessaryn_*.debian.tar.xz \
  "$root/srv/source/"
apt_in_root install --no-install-recommends build-essential dpkg-dev debhelper cmake pkgconf \
  libx11-dev libgl-dev libglu1-mesa-dev libfreetype-dev libfontconfig-dev >/dev/null 2>&1
step "the build dependencies"
build_source() {
  in_root sh -c 'cd /srv/source && dpkg-source -x tessaryn_*.dsc build &&
    cd build && dpkg-buildpackage -us -uc -b' >"$root/build.log" 2>&1 || { tail -n 20 "$root/build.log"; return 1; }
}
verdict "the source package builds on Debian 13" build_source
step "dpkg-source -x and dpkg-buildpackage"

[ "$failed" -eq 0 ] && echo "check-debian13: all passed" || echo "check-debian13: $failed failed"
[ "$failed" -eq 0 ]
