# Sourced by the scripts in tools/: one way to configure and build, and, for the
# measuring scripts, one process's resident and virtual memory, open files and threads,
# and its CPU time in clock ticks, read from /proc. sample and cpu read the process $pid.

# Configures PRESET and builds its TARGETs (everything without one) on every core;
# quiet unless it fails, when it shows what the build said.
build() {
  local preset=$1 log status=0
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  log=$(mktemp)
  { cmake --preset "$preset" && cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"; } \
    >"$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || cat "$log"
  rm -f "$log"
  return "$status"
}

sample() {
  printf "rss_kb=%s vm_kb=%s fds=%s threads=%s\n" \
    "$(awk '/^VmRSS/ {print $2}' /proc/$pid/status)" \
    "$(awk '/^VmSize/ {print $2}' /proc/$pid/status)" \
    "$(ls /proc/$pid/fd | wc -l)" \
    "$(awk '/^Threads/ {print $2}' /proc/$pid/status)"
}
cpu() { cpu_of "$pid"; }
# CPU ticks of process $1, user and system, all its threads; 0 once it has gone.
cpu_of() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
# The newest process whose command line matches the extended regex $1, waited for up
# to 10 s; prints nothing when none came.
wait_for_pid() {
  local found=""
  for _ in $(seq 100); do
    sleep 0.1
    found=$(pgrep -n -f "$1" || true)
    [ -n "$found" ] && break
  done
  echo "$found"
}
ticks=$(getconf CLK_TCK)
