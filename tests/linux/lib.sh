# Sourced by the Linux tests: counted checks, and a root prefix for the commands that
# need one (CI runs as root; elsewhere sudo).
. tests/support/checks.sh

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# A home folder's state, to compare before and after: every file, link and folder with
# its bytes (unreadable: none) or target, and its mode.
home_state() {
  (cd "$1" && find . -mindepth 1 | sort | while read -r f; do
    if [ -L "$f" ]; then
      echo "$f -> $(readlink "$f")"
    elif [ -f "$f" ]; then
      echo "$f $(stat -c %a "$f") $(sha256sum <"$f" 2>/dev/null | cut -d' ' -f1)"
    else
      echo "$f/ $(stat -c %a "$f")"
    fi
  done)
}

# Polls `"$@"` every 0.2 s until it succeeds or $1 seconds have passed.
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
