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

# Sets package (the folder $1, build/package unless given) and deb (its tessaryn .deb);
# exits when there is none, or when tessaryn is installed already.
find_package_deb() {
  package=$(realpath "${1:-build/package}")
  local debs=("$package"/tessaryn_*.deb)
  deb=${debs[0]}
  [ -f "$deb" ] || { echo "no tessaryn_*.deb in $package: run tools/package/package.sh"; exit 1; }
  if dpkg-query -W -f='${Status}' tessaryn 2>/dev/null | grep -q 'ok installed'; then
    echo "tessaryn is installed already; remove it first (apt-get purge tessaryn)"
    exit 1
  fi
}

# Makes the system user $1 unless it exists; made_user says whether to remove it.
make_user_unless_there() {
  if ! id "$1" >/dev/null 2>&1; then
    "${as_root[@]}" useradd --no-create-home --shell /usr/sbin/nologin "$1"
    # shellcheck disable=SC2034 # read by the sourcing test's clean-up
    made_user=yes
  fi
}
