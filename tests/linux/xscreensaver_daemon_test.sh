#!/usr/bin/env bash
# Debian's XScreenSaver runs Tessaryn as a user's only display mode:
#
#   tests/linux/xscreensaver_daemon_test.sh
#
# On a virtual screen of its own, as an unprivileged user (the daemon runs no hack for
# root), with a ~/.xscreensaver that names only `tessaryn`: `xscreensaver-command
# -activate` must start the hack that XScreenSaver finds in its hack folder (the
# installed package's) and the screen must show the clock at a pinned time, the second
# hand where that time puts it; `-deactivate` must end the hack; xscreensaver-settings
# must then preview the clock in its pane.
#
# The daemon's -deactivate must end the hack within a second, in steady drawing, right
# at its start-up, and stalled in its font's build and in a first frame.
#
# Then a user's own path, in a home of its own with a ~/.xscreensaver of its own and
# XScreenSaver running: the user runs tessaryn-enable twice (the second run changes
# nothing), the running daemon, not restarted, takes the new mode and shows the clock;
# the autostart entry's own Exec command starts the daemon as a login does;
# tessaryn-enable --remove then leaves the user's files as they were, byte for byte. A user without a ~/.xscreensaver gets one with XScreenSaver's list and Tessaryn
# at its end, and --remove leaves the home empty again. Needs root (or sudo) to make
# the user.
# Cleans up the daemon, the settings program, the screen, the user and its home on
# every path.
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
user_pids=()

cleanup() {
  set +e
  # runuser hands the signal on to the daemon (which ends its hacks) and to the
  # settings program.
  for pid in "${user_pids[@]}"; do
    "${as_root[@]}" kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  [ ${#user_pids[@]} -eq 0 ] || wait_until 10 bash -c '! pgrep -u "$0" >/dev/null' "$user"
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
make_user_unless_there "$user"

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
wait_until 60 test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
display=:$(cat "$work/display")

as_user() {
  "${as_root[@]}" runuser -u "$user" -- env -i PATH=/usr/bin:/bin DISPLAY="$display" \
    HOME="$home" TESSARYN_PINNED_TIME="$pinned" "$@"
}
# In a home named by $1; DISPLAY only when $2 is "x".
as_user_in() {
  local in_home=$1 with_display=$2
  shift 2
  local env=(PATH=/usr/bin:/bin HOME="$in_home" TESSARYN_PINNED_TIME="$pinned")
  [ "$with_display" != x ] || env+=(DISPLAY="$display")
  "${as_root[@]}" runuser -u "$user" -- env -i "${env[@]}" "$@"
}
quietly() { "$@" >/dev/null 2>&1; }
daemon_ready() { as_user xscreensaver-command -time >/dev/null 2>&1; }
nothing_of_xscreensaver_left() { ! pgrep -u "$user" '^xscreensaver' >/dev/null; }
# Starts the daemon `"${@:2}"` in the background and waits for `$1` to say it answers.
# NOTE: XScreenSaver 6.06 now and then hangs at start on a loaded machine, before it
# opens its window (its log ends at "running in process N"): a daemon that has not
# answered in 45 s is ended and started once more.
start_daemon() {
  local ready=$1
  shift
  "$@" >/dev/null 2>&1 &
  user_pids+=($!)
  wait_until 45 "$ready" && return 0
  echo "    the daemon did not answer in 45 s: ended, and started once more"
  "${as_root[@]}" kill "${user_pids[-1]}" 2>/dev/null
  wait_until 30 nothing_of_xscreensaver_left || true
  "$@" >/dev/null 2>&1 &
  user_pids+=($!)
  wait_until 90 "$ready"
}
hack_running() { pgrep -u "$user" -x tessaryn >/dev/null; }
hack_gone() { ! hack_running; }

check "the daemon answers" \
  start_daemon daemon_ready as_user xscreensaver --no-splash --log "$home/daemon.log"
check "-activate is accepted" quietly as_user xscreensaver-command -activate
check "-activate starts tessaryn" wait_until 90 hack_running
hack_exe() { "${as_root[@]}" readlink "/proc/$(pgrep -u "$user" -n -x tessaryn)/exe"; }
check "the hack runs from XScreenSaver's hack folder" \
  test "$(hack_exe)" = /usr/libexec/xscreensaver/tessaryn

# Where a point of the clock's plane lands in a window of $2 x $3 pixels: the eye at
# z = 5 with a 45° field of view, drawn with aspect 1 over the whole window. Marks lie
# at z = -0.1.
pixel_at() {
  awk -v x="$1" -v y="$2" -v z="$3" -v w="$4" -v h="$5" 'BEGIN {
    half = (5 - z) * sin(3.14159265 / 8) / cos(3.14159265 / 8)
    printf "%d,%d", (1 + x / half) / 2 * w + 0.5, (1 - y / half) / 2 * h + 0.5 }'
}
# At radius 1 and $1 degrees from 3 o'clock.
pixel_at_angle() {
  pixel_at "$(awk -v a="$1" 'BEGIN { print cos(a / 57.2957795) }')" \
    "$(awk -v a="$1" 'BEGIN { print sin(a / 57.2957795) }')" 0 "$2" "$3"
}
rgb_at() {
  convert "$work/shot.png" \
    -format "%[fx:int(255*p{$1}.r)] %[fx:int(255*p{$1}.g)] %[fx:int(255*p{$1}.b)]" info:
}
red() {
  read -r r g b <<<"$(rgb_at "$1")"
  [ "$r" -ge 150 ] && [ $((r - g)) -ge 100 ] && [ $((r - b)) -ge 100 ]
}
black() { read -r r g b <<<"$(rgb_at "$1")"; [ "$r" -lt 30 ] && [ "$g" -lt 30 ] && [ "$b" -lt 30 ]; }
# Window $1 (W x H = $2 x $3) shows the clock at 10:08:37: the second hand turns
# 90 - 6 * 37 = -132 degrees from 3 o'clock and its spine at radius 1 is lit, as is the
# 12 o'clock mark; at -42 degrees, between the hands, the face stays black.
clock_shown() {
  import -display "$display" -window "$1" "$work/shot.png" 2>/dev/null &&
    red "$(pixel_at_angle -132 "$2" "$3")" && red "$(pixel_at 0 1.7 -0.1 "$2" "$3")" &&
    black "$(pixel_at_angle -42 "$2" "$3")"
}
keep_shot() { cp "$work/shot.png" "build/xscreensaver-$1.png" 2>/dev/null || true; }
check "the screen shows the clock at $pinned" \
  wait_until 90 clock_shown root "$width" "$height"
[ "$failures" -eq 0 ] || keep_shot daemon

# The daemon stops the hack with SIGTERM: it must end within a second, in steady
# drawing (the clock is on screen) and, a few times over, right at its start-up. Ended
# means exited: xscreensaver-gfx, its parent, exits as soon as it has signalled it, so
# reaping the orphan falls to init, which on some machines does it seconds later. The
# time from -deactivate is split in the daemon's answer, the hack's end and its reaping,
# so a wait shows whose it was.
now_ms() { date +%s%3N; }
# No tessaryn of the user's left but zombies.
hack_ended() {
  local pid
  for pid in $(pgrep -u "$user" -x tessaryn); do
    [ "$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null)" = Z ] || [ ! -e "/proc/$pid" ] ||
      return 1
  done
}
# Polls `"$@"` every 20 ms for up to 90 s.
poll_until() {
  local i
  for ((i = 0; i < 4500; i++)); do "$@" && return 0; sleep 0.02; done
  return 1
}
# What a hack still running is doing: its state, parent and signals, and each thread's
# wait in the kernel.
describe_hack() {
  local pid
  for pid in $(pgrep -u "$user" -x tessaryn); do
    echo "    pid $pid: $(grep -E '^(State|PPid|SigPnd|ShdPnd|SigBlk|SigCgt):' \
      "/proc/$pid/status" 2>/dev/null | tr -s '\t\n' '  ')"
    ps -L -o lwp=,stat=,wchan:32=,comm= -p "$pid" 2>/dev/null | sed 's/^/      /'
  done
}
stopped_within_a_second() {
  local sent answered ended gone described=no
  sent=$(now_ms)
  "$@" xscreensaver-command -deactivate >/dev/null 2>&1 || return 1
  answered=$(now_ms)
  until hack_ended; do
    if [ "$described" = no ] && [ $(($(now_ms) - answered)) -gt 1000 ]; then
      described=yes
      describe_hack
    fi
    [ $(($(now_ms) - answered)) -lt 90000 ] || return 1
    sleep 0.02
  done
  ended=$(now_ms)
  poll_until hack_gone || return 1
  gone=$(now_ms)
  echo "    -deactivate answered in $((answered - sent)) ms; the hack ended" \
    "$((ended - answered)) ms later, reaped $((gone - ended)) ms after that"
  [ $((ended - answered)) -le 1000 ]
}
check "in steady drawing, -deactivate ends tessaryn within a second" \
  stopped_within_a_second as_user
for run in 1 2 3; do
  check "start-up $run: -activate is accepted" quietly as_user xscreensaver-command -activate
  # Caught as soon as it runs, in its start-up.
  poll_until hack_running || true
  check "start-up $run: -deactivate ends tessaryn within a second" stopped_within_a_second as_user
done

# The settings program opens on the selected mode and previews it in its pane, the
# window it hands the hack with --window-id.
as_user xscreensaver-settings >/dev/null 2>&1 &
user_pids+=($!)
preview_window() {
  pgrep -a -u "$user" -x tessaryn | sed -n 's/.* --window-id \(0x[0-9a-fA-F]*\).*/\1/p' |
    head -n 1
}
preview_running() { [ -n "$(preview_window)" ]; }
check "xscreensaver-settings previews tessaryn" wait_until 90 preview_running
window=$(preview_window)
if [ -n "$window" ]; then
  read -r preview_width preview_height < <(xwininfo -display "$display" -id "$window" |
    awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  check "the preview pane ($window, ${preview_width}x$preview_height) shows the clock" \
    wait_until 90 clock_shown "$window" "$preview_width" "$preview_height"
  [ "$failures" -eq 0 ] || keep_shot preview
fi

# The settings program this test started ends, and its preview with it. (The kernel
# keeps 15 characters of a program's name: it is matched on its command line.)
for pid in $(pgrep -u "$user" -f '^xscreensaver-settings'); do
  "${as_root[@]}" kill "$pid" 2>/dev/null || true
done
as_user xscreensaver-command -exit >/dev/null 2>&1 || true
first_daemon_gone() { ! pgrep -u "$user" -x xscreensaver >/dev/null; }
check "the first daemon ends" wait_until 90 first_daemon_gone
check "no hack is left running" wait_until 90 hack_gone

# Stopped in the caption font's build and in a first frame, each stalled for good
# through a test seam the daemon hands on, as a slow one would be.
stalled() {
  local id
  for id in $(xwininfo -display "$display" -root -children | awk '/^ +0x/ { print $1 }'); do
    xprop -display "$display" -id "$id" _TESSARYN_STALLED 2>/dev/null | grep -q ' = ' &&
      return 0
  done
  return 1
}
# A daemon starts once every process of the one before has gone.
for point in font frame; do
  check "stalled in the $point: nothing of the daemon before is left" \
    wait_until 90 nothing_of_xscreensaver_left
  check "stalled in the $point: the daemon answers" start_daemon daemon_ready \
    as_user env TESSARYN_STALL="$point" xscreensaver --no-splash --log "$home/stall-$point.log"
  check "stalled in the $point: -activate is accepted" \
    quietly as_user xscreensaver-command -activate
  check "stalled in the $point: the hack says it is stalled" wait_until 90 stalled
  check "stalled in the $point: -deactivate ends tessaryn within a second" \
    stopped_within_a_second as_user
  as_user xscreensaver-command -exit >/dev/null 2>&1 || true
  check "stalled in the $point: the daemon ends" wait_until 90 first_daemon_gone
done

# --- A user's own path, with tessaryn-enable. ---
user_home=$work/user
mkdir -p "$user_home/.config/unrelated"
echo "kept" >"$user_home/.config/unrelated/settings"
# Mode "one" on the second entry, the one tessaryn-enable adds at the end.
cat >"$user_home/.xscreensaver" <<'PREFS'
# XScreenSaver Preferences File
mode:		one
selected:	1
splash:		False
lock:		False
fade:		False
unfade:		False
timeout:	0:30:00
cycle:		0:00:00
programs:							      \
  GL:		gltext -root						    \n

pointerPollTime: 0:00:05
PREFS
chmod 640 "$user_home/.xscreensaver"
"${as_root[@]}" chown -R "$user" "$user_home"
before=$(home_state "$user_home")

# XScreenSaver already runs in the session when the user runs tessaryn-enable, once
# every process of the daemons before it has gone (its log is kept out of the home).
check "nothing of the earlier daemons is left" wait_until 90 nothing_of_xscreensaver_left
user_daemon_ready() { as_user_in "$user_home" x xscreensaver-command -time >/dev/null 2>&1; }
daemon_pid() { pgrep -u "$user" -x xscreensaver; }
check "the user's daemon answers" start_daemon user_daemon_ready \
  as_user_in "$user_home" x xscreensaver --no-splash --log "$home/user-daemon.log"
running_daemon=$(daemon_pid || true)

check "tessaryn-enable is on the PATH" as_user_in "$user_home" x sh -c 'command -v tessaryn-enable'
check "tessaryn-enable runs" quietly as_user_in "$user_home" x tessaryn-enable
once=$(home_state "$user_home")
# The old last entry now continues (ends in "\n\"), and the new one ends the list.
tessaryn_last() {
  awk '/gltext -root/ { continued = /[\\]n[\\]$/; getline
         ok = continued && /^[ \t]*GL:[ \t]*tessaryn --root[ \t]*[\\]n$/ }
       END { exit !ok }' "$user_home/.xscreensaver"
}
check "it adds tessaryn --root at the end of the programs list" tessaryn_last
autostart_entry=$user_home/.config/autostart/xscreensaver.desktop
check "it adds an autostart entry of the user's own for XScreenSaver" \
  bash -c '[ -f "$0" ] && [ ! -L "$0" ]' "$autostart_entry"
second_run_unchanged() {
  as_user_in "$user_home" x tessaryn-enable >/dev/null 2>&1 &&
    [ "$(home_state "$user_home")" = "$once" ]
}
check "a second run changes nothing" second_run_unchanged
check "the daemon is not restarted" test "$(daemon_pid)" = "$running_daemon"

# The running daemon reads the changed file by itself: mode "one" on the new entry.
check "-activate is accepted" quietly as_user_in "$user_home" x xscreensaver-command -activate
enabled_hack_running() { pgrep -a -u "$user" -x tessaryn | grep -qE '^[0-9]+ tessaryn --root$'; }
check "the running daemon starts tessaryn --root, without a restart" \
  wait_until 90 enabled_hack_running
# The default settings: hand colour 5 (gold) over dial 7 (grey), so the second hand
# is where the face is far more red than blue, and between the hands it is not.
gold() { read -r r g b <<<"$(rgb_at "$1")"; [ "$r" -ge 150 ] && [ $((r - b)) -ge 90 ]; }
not_gold() { ! gold "$1"; }
default_clock_shown() {
  import -display "$display" -window root "$work/shot.png" 2>/dev/null &&
    gold "$(pixel_at_angle -132 "$width" "$height")" &&
    not_gold "$(pixel_at_angle -42 "$width" "$height")"
}
check "the screen shows the clock at $pinned" wait_until 90 default_clock_shown
[ "$failures" -eq 0 ] || keep_shot enabled
check "-deactivate ends tessaryn within a second" \
  stopped_within_a_second as_user_in "$user_home" x

# As a login starts the session's autostart entries.
as_user_in "$user_home" x xscreensaver-command -exit >/dev/null 2>&1 || true
daemon_gone() { ! pgrep -u "$user" -x xscreensaver >/dev/null; }
check "the daemon ends" wait_until 90 daemon_gone
check "nothing of it is left" wait_until 90 nothing_of_xscreensaver_left
exec_line=$(sed -n 's/^Exec=//p' "$autostart_entry" 2>/dev/null | head -n 1)
if [ -n "$exec_line" ]; then
  # shellcheck disable=SC2086  # the entry's Exec is a command line, split as XDG does
  check "the autostart entry ($exec_line) starts the daemon" start_daemon user_daemon_ready \
    as_user_in "$user_home" x $exec_line --log "$home/autostart-daemon.log"
else
  check "the autostart entry has an Exec line" false
fi
running_daemon=$(daemon_pid || true)

check "tessaryn-enable --remove runs" quietly as_user_in "$user_home" x tessaryn-enable --remove
check "the daemon is not restarted by --remove" test "$(daemon_pid)" = "$running_daemon"
as_user_in "$user_home" x xscreensaver-command -exit >/dev/null 2>&1 || true
wait_until 90 daemon_gone || true
after=$(home_state "$user_home")
check "the user's files are as before, byte for byte" test "$after" = "$before"
[ "$after" = "$before" ] || diff <(echo "$before") <(echo "$after") | sed 's/^/    /'

# A user who has no ~/.xscreensaver yet, away from any display.
empty_home=$work/empty
mkdir -p "$empty_home"
"${as_root[@]}" chown "$user" "$empty_home"
check "tessaryn-enable runs without a display" quietly as_user_in "$empty_home" - tessaryn-enable
defaults=$(grep -c -- '--root' /etc/X11/app-defaults/XScreenSaver)
defaults_then_tessaryn() {
  local made=$empty_home/.xscreensaver
  [ "$(grep -c -- '--root' "$made")" -eq $((defaults + 1)) ] &&
    grep -- '--root' "$made" | tail -n 1 | grep -q 'tessaryn --root'
}
check "a new ~/.xscreensaver lists XScreenSaver's $defaults modes, then tessaryn" \
  defaults_then_tessaryn
emptied() {
  as_user_in "$empty_home" - tessaryn-enable --remove >/dev/null 2>&1 &&
    [ -z "$(ls -A "$empty_home")" ]
}
check "--remove leaves the home empty again" emptied

if [ "$failures" -ne 0 ]; then
  echo "daemon log (the first daemon's):"
  sed 's/^/    /' "$home/daemon.log" 2>/dev/null | tail -n 30
  for log in stall-font stall-frame user-daemon autostart-daemon; do
    echo "daemon log ($log):"
    sed 's/^/    /' "$home/$log.log" 2>/dev/null | tail -n 30
  done
  exit 1
fi
echo "all checks passed"
