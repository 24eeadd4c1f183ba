# Sourced by the Linux tests: counted checks, and a root prefix for the commands that
# need one (CI runs as root; elsewhere sudo).
. tests/support/checks.sh

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

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
