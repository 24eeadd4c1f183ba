#!/usr/bin/env bash
# Debian's XScreenSaver daemon runs Tessaryn as a user's only display mode:
#
#   tests/linux/xscreensaver_daemon_test.sh
#
# On a virtual screen of its own, as an unprivileged user (the daemon runs no hack for
# root), with a ~/.xscreensaver that names only `tessaryn`: `xscreensaver-command
# -activate` must start the hack that XScreenSaver finds in its hack folder (the
# installed package's) and the screen must show the clock at a pinned time, the second
# hand where that time puts it; `-deactivate` must end the hack. Needs root (or sudo)
# to make the user. Cleans up the daemon, the screen, the user and its home on every
# path.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/linux/lib.sh

user=tessaryn-xss
width=1024
height=768
pinned=10:08:37
work=$(mktemp -d)
made_user=no
xvfb_pid=""
daemon_pid=""

cleanup() {
  set +e
  if [ -n "$daemon_pid" ]; then
    # runuser hands the signal on to the daemon, which ends its hacks.
    "${as_root[@]}" kill "$daemon_pid" 2>/dev/null
    wait_until 10 bash -c '! pgrep -u "$0" >/dev/null' "$user"
    wait "$daemon_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ "$made_user" = no ] || "${as_root[@]}" userdel "$user" 2>/dev/null
  "${as_root[@]}" rm -rf "$work"
}
trap cleanup EXIT

if [ ! -x /usr/libexec/xscreensaver/tessaryn ]; then
  echo "tessaryn is not in XScreenSaver's hack folder: install the package first"
  exit 1
fi
if ! id "$user" >/dev/null 2>&1; then
  "${as_root[@]}" useradd --no-create-home --shell /usr/sbin/nologin "$user"
  made_user=yes
fi

home=$work/home
mkdir -p "$home"
# Dial 0 and red hands leave a black face, so a probe tells a hand from no hand.
cat >"$home/.xscreensaver" <<'PREFS'
mode:		one
selected:	0
splash:		False
lock:		False
fade:		False
unfade:		False
timeout:	0:30:00
cycle:		0:00:00
programs:							      \
  GL:		tessaryn -root -dial 0 -hand-color 2			    \n\

PREFS
"${as_root[@]}" chown -R "$user" "$home"
# The test user must reach its home through the temporary folder.
chmod 755 "$work"

exec 3>"$work/display"
Xvfb -displayfd 3 -ac -nolisten tcp -screen 0 "${width}x${height}x24" \
  >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_until 10 test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
display=:$(cat "$work/display")

as_user() {
  "${as_root[@]}" runuser -u "$user" -- env -i PATH=/usr/bin:/bin DISPLAY="$display" \
    HOME="$home" TESSARYN_PINNED_TIME="$pinned" "$@"
}
as_user xscreensaver --no-splash --log "$home/daemon.log" >/dev/null 2>&1 &
daemon_pid=$!
quietly() { "$@" >/dev/null 2>&1; }
daemon_ready() { as_user xscreensaver-command -time >/dev/null 2>&1; }
hack_running() { pgrep -u "$user" -x tessaryn >/dev/null; }
hack_gone() { ! hack_running; }

check "the daemon answers" wait_until 30 daemon_ready
check "-activate is accepted" quietly as_user xscreensaver-command -activate
check "-activate starts tessaryn" wait_until 30 hack_running
hack_exe() { "${as_root[@]}" readlink "/proc/$(pgrep -u "$user" -n -x tessaryn)/exe"; }
check "the hack runs from XScreenSaver's hack folder" \
  test "$(hack_exe)" = /usr/libexec/xscreensaver/tessaryn

# Where a point of the clock's plane lands on the screen: the eye at z = 5 with a 45°
# field of view, drawn with aspect 1 over the whole screen. Marks lie at z = -0.1.
pixel_at() {
  awk -v x="$1" -v y="$2" -v z="$3" -v w="$width" -v h="$height" 'BEGIN {
    half = (5 - z) * sin(3.14159265 / 8) / cos(3.14159265 / 8)
    printf "%d,%d", (1 + x / half) / 2 * w + 0.5, (1 - y / half) / 2 * h + 0.5 }'
}
# At 10:08:37 the second hand turns 90 - 6 * 37 = -132 degrees from 3 o'clock; its
# spine at radius 1 is lit. At -42 degrees, between the hands, the face stays black.
on_hand=$(pixel_at "$(awk 'BEGIN { print cos(-132 / 57.2957795) }')" \
  "$(awk 'BEGIN { print sin(-132 / 57.2957795) }')" 0)
off_hand=$(pixel_at "$(awk 'BEGIN { print cos(-42 / 57.2957795) }')" \
  "$(awk 'BEGIN { print sin(-42 / 57.2957795) }')" 0)
twelve_mark=$(pixel_at 0 1.7 -0.1)
rgb_at() { convert "$work/screen.png" -format "%[fx:int(255*p{$1}.r)] %[fx:int(255*p{$1}.g)] %[fx:int(255*p{$1}.b)]" info:; }
red() { read -r r g b <<<"$(rgb_at "$1")"; [ "$r" -ge 150 ] && [ $((r - g)) -ge 100 ] && [ $((r - b)) -ge 100 ]; }
black() { read -r r g b <<<"$(rgb_at "$1")"; [ "$r" -lt 30 ] && [ "$g" -lt 30 ] && [ "$b" -lt 30 ]; }
clock_shown() {
  import -display "$display" -window root "$work/screen.png" 2>/dev/null &&
    red "$on_hand" && red "$twelve_mark" && black "$off_hand"
}
check "the screen shows the clock at $pinned (second hand at $on_hand, 12 o'clock mark at \
$twelve_mark, black face at $off_hand)" wait_until 60 clock_shown
[ "$failures" -eq 0 ] || cp "$work/screen.png" build/xscreensaver-daemon-test.png 2>/dev/null || true

check "-deactivate is accepted" quietly as_user xscreensaver-command -deactivate
check "-deactivate ends tessaryn" wait_until 30 hack_gone

as_user xscreensaver-command -exit >/dev/null 2>&1 || true
if [ "$failures" -ne 0 ]; then
  echo "daemon log:"
  sed 's/^/    /' "$home/daemon.log" 2>/dev/null | tail -n 30
  exit 1
fi
echo "all checks passed"
