#!/usr/bin/env bash
# tessaryn-enable as a user meets it, without a daemon:
#
#   tests/linux/enable_test.sh [TESSARYN_ENABLE]
#
# runs the given script (the source tree's by default; the package test passes the
# installed one) as an unprivileged user in homes of the test's own: where XScreenSaver
# belongs it adds the mode and the user's own autostart entry; in a Wayland session,
# under a desktop with a saver of its own and beside light-locker it adds the mode and
# no autostart, and says why; --remove takes out an entry the settings dialog rewrote;
# a symlinked ~/.xscreensaver stays a link; an unreadable file, a directory there, a
# home it cannot write and root each give status 1, a message, and no change. Needs
# root (or sudo) to make the user; exits 77 (skipped) without either.
# shellcheck disable=SC2016  # bash -c scripts take their values as arguments
set -euo pipefail
cd "$(dirname "$0")/../.."
. tests/linux/lib.sh

if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
  echo "needs root or sudo to make a test user: skipped"
  exit 77
fi
source_script=$(realpath "${1:-xscreensaver/enable/tessaryn-enable}")
# One of its own per run: ctest and the package test may run it side by side.
user=tessaryn-enable-$$
work=$(mktemp -d)
made_user=no
helper_pids=()
cleanup() {
  set +e
  for pid in "${helper_pids[@]}"; do "${as_root[@]}" kill "$pid" 2>/dev/null; done
  [ "$made_user" = no ] || "${as_root[@]}" userdel "$user" 2>/dev/null
  "${as_root[@]}" rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
# The user must reach the script, wherever the tree is.
cp "$source_script" "$work/tessaryn-enable"
chmod 755 "$work/tessaryn-enable"
make_user_unless_there "$user"

prefs_text() {
  cat <<'PREFS'
mode:		one
selected:	1
programs:							      \
  GL:		gltext -root						    \n

pointerPollTime: 0:00:05
PREFS
}
# A home of its own, with the usual ~/.xscreensaver unless $2 is "empty".
new_home() {
  local home=$work/$1
  mkdir -p "$home"
  [ "${2:-}" = empty ] || prefs_text >"$home/.xscreensaver"
  "${as_root[@]}" chown -R "$user" "$home"
  echo "$home"
}
# Runs the script as the user in home $1 with the environment entries up to "--".
out=$work/out
enable_in() {
  local home=$1
  shift
  local env=(PATH=/usr/bin:/bin HOME="$home")
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  "${as_root[@]}" runuser -u "$user" -- env -i "${env[@]}" "$work/tessaryn-enable" "$@" \
    >"$out" 2>&1
}
said() { grep -qi -- "$1" "$out"; }
# Why it adds no autostart entry, on the line that says so.
told_why() { grep -q -- "not set to start.*$1" "$out"; }
has_tessaryn() { grep -q 'tessaryn --root' "$1"; }
autostart_of() { echo "$1/.config/autostart/xscreensaver.desktop"; }

# --- Where it autostarts XScreenSaver and where not. ---
while read -r name session desktop autostarts why; do
  home=$(new_home "$name")
  env=()
  [ "$session" = - ] || env+=(XDG_SESSION_TYPE="$session")
  [ "$desktop" = - ] || env+=(XDG_CURRENT_DESKTOP="$desktop")
  if [ "$name" = light-locker ]; then
    # A light-locker of the user's own, as the Xfce session starts one.
    mkdir -p "$work/bin"
    cp /bin/sleep "$work/bin/light-locker"
    "${as_root[@]}" runuser -u "$user" -- "$work/bin/light-locker" 300 2>/dev/null &
    helper_pids+=($!)
    wait_until 60 pgrep -u "$user" -x light-locker >/dev/null
  fi
  echo "$name: XDG_SESSION_TYPE=$session XDG_CURRENT_DESKTOP=$desktop"
  check "$name: it runs" enable_in "$home" "${env[@]}" --
  check "$name: the mode is added" has_tessaryn "$home/.xscreensaver"
  entry=$(autostart_of "$home")
  if [ "$autostarts" = yes ]; then
    check "$name: an autostart entry of the user's own, not a link" \
      bash -c '[ -f "$0" ] && [ ! -L "$0" ]' "$entry"
    check "$name: it starts XScreenSaver only where it is installed and belongs" \
      bash -c 'grep -qx "TryExec=xscreensaver" "$0" &&
        grep -qx "NotShowIn=GNOME;KDE;MATE;Cinnamon;X-Cinnamon;Unity;Budgie;" "$0"' "$entry"
    check "$name: desktop-file-validate finds nothing in it" \
      bash -c '[ -z "$(desktop-file-validate "$0" 2>&1)" ]' "$entry"
  else
    check "$name: no autostart entry" test ! -e "$entry"
    check "$name: it says why ($why)" told_why "$why"
  fi
  if [ "$name" = light-locker ]; then
    "${as_root[@]}" kill "${helper_pids[-1]}"
    wait "${helper_pids[-1]}" 2>/dev/null || true
  fi
  enable_in "$home" -- --remove || true
  check "$name: --remove puts the file back and takes the entry away" \
    bash -c 'diff -q "$0" <(printf "%s\n" "$1") >/dev/null && [ ! -e "$2" ]' \
    "$home/.xscreensaver" "$(prefs_text)" "$entry"
done <<'SESSIONS'
xfce-x11      x11     XFCE          yes -
no-session    -       -             yes -
wayland       wayland GNOME         no  Wayland
wayland-sway  wayland sway          no  Wayland
mate          x11     MATE          no  MATE
ubuntu        x11     ubuntu:GNOME  no  GNOME
kde           x11     KDE           no  KDE
cinnamon      x11     X-Cinnamon    no  X-Cinnamon
budgie        x11     Budgie:GNOME  no  Budgie
light-locker  x11     XFCE          no  light-locker
SESSIONS

# --- --remove keeps its promise. ---
home=$(new_home edited)
enable_in "$home" XDG_CURRENT_DESKTOP=XFCE -- || true
# As the settings dialog writes the list once a slider moves, with a second entry
# turned off and one by path.
sed -i 's|tessaryn --root|tessaryn --root -hands 3 -dial 2|' "$home/.xscreensaver"
sed -i 's|^\(  GL:[[:space:]]*gltext -root[[:space:]]*\\n\\\)$|\1\n-  GL: /usr/libexec/xscreensaver/tessaryn --root -sizes 7 \\n\\|' \
  "$home/.xscreensaver"
check "edited: the settings dialog's rewrite is in place" \
  test "$(grep -c tessaryn "$home/.xscreensaver")" = 2
check "edited: --remove runs" enable_in "$home" -- --remove
check "edited: it says it removed the mode" said "removed Tessaryn"
check "edited: no tessaryn entry is left" bash -c '! grep -q tessaryn "$0"' "$home/.xscreensaver"
check "edited: the rest is the file as it was" \
  bash -c 'diff -q "$0" <(printf "%s\n" "$1") >/dev/null' "$home/.xscreensaver" "$(prefs_text)"

home=$(new_home linked)
mkdir -p "$home/dotfiles"
mv "$home/.xscreensaver" "$home/dotfiles/xscreensaver"
ln -s dotfiles/xscreensaver "$home/.xscreensaver"
"${as_root[@]}" chown -R -h "$user" "$home"
check "linked: it runs" enable_in "$home" XDG_CURRENT_DESKTOP=XFCE --
check "linked: ~/.xscreensaver is still the link" \
  test "$(readlink "$home/.xscreensaver")" = dotfiles/xscreensaver
check "linked: the mode is added to the file it names" has_tessaryn "$home/dotfiles/xscreensaver"
check "linked: --remove runs" enable_in "$home" -- --remove
check "linked: still the link after --remove" \
  test "$(readlink "$home/.xscreensaver")" = dotfiles/xscreensaver
check "linked: the file it names is as it was" \
  bash -c 'diff -q "$0" <(printf "%s\n" "$1") >/dev/null' "$home/dotfiles/xscreensaver" \
  "$(prefs_text)"

# --- Its errors are errors: status 1, a message, nothing changed. ---
as_is() { true; }
unreadable() { chmod 000 "$1/.xscreensaver"; }
a_directory() { rm "$1/.xscreensaver" && mkdir "$1/.xscreensaver" && chmod 700 "$1/.xscreensaver"; }
read_only_home() { rm "$1/.xscreensaver" && chmod 555 "$1"; }
read_only_config() { mkdir -p "$1/.config" && chmod 555 "$1/.config"; }
as_root_user() {
  env -i PATH=/usr/bin:/bin HOME="$1" "$work/tessaryn-enable" "${@:2}" >"$out" 2>&1
}
status_of() { "$@" && echo 0 || echo $?; }
while read -r name make_it runner args message; do
  home=$(new_home "$name-${args//-/}")
  "${as_root[@]}" bash -c "$(declare -f "$make_it"); $make_it \"\$0\"" "$home"
  before=$("${as_root[@]}" bash -c "$(declare -f home_state); home_state \"\$0\"" "$home")
  given=("$args")
  [ "$args" != - ] || given=()
  if [ "$runner" = root ]; then
    [ "$(id -u)" -eq 0 ] || { echo "  (root case needs root: skipped)"; continue; }
    status=$(status_of as_root_user "$home" "${given[@]}")
  else
    status=$(status_of enable_in "$home" XDG_CURRENT_DESKTOP=XFCE -- "${given[@]}")
  fi
  after=$("${as_root[@]}" bash -c "$(declare -f home_state); home_state \"\$0\"" "$home")
  check "$name ${given[*]:-}: status 1 (got $status)" test "$status" = 1
  check "$name ${given[*]:-}: the message says so ($message)" said "$message"
  check "$name ${given[*]:-}: nothing changed" test "$before" = "$after"
  [ "$before" = "$after" ] || diff <(echo "$before") <(echo "$after") | sed 's/^/    /'
done <<'ERRORS'
unreadable       unreadable       user -        cannot.read
unreadable       unreadable       user --remove cannot.read
directory        a_directory      user -        not.a.regular.file
read-only-home   read_only_home   user -        cannot.write
read-only-config read_only_config user -        cannot.write
root             as_is            root -        refusing.to.run.as.root
root             as_is            root --remove refusing.to.run.as.root
ERRORS

[ "$failures" -eq 0 ] || { echo "$failures check(s) FAILED"; exit 1; }
echo "all checks passed"
