# Sourced by the scripts in tools/: one way to configure and build, and, for the
# measuring scripts, one process's resident and virtual memory, open files and threads,
# and its CPU time in clock ticks, read from /proc. sample and cpu read the process $pid.

# Runs a command quietly: its output is shown only when it fails.
quietly() {
  local log status=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || status=$?
  [ "$status" -eq 0 ] || cat "$log"
  rm -f "$log"
  return "$status"
}

# Configures PRESET and builds its TARGETs (everything without one) on every core,
# quietly.
build() {
  quietly configure_and_build "$@"
}
configure_and_build() {
  local preset=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --preset "$preset" && cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
}

# Writes the administrative template into DIR/policies/, made from the settings table by
# make-policy-template, a host project of its own apart from the presets.
write_policy_template() {
  quietly cmake -S installer/policies -B build/policies -G Ninja &&
    quietly cmake --build build/policies &&
    build/policies/make-policy-template "$1/policies"
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
# Reads Mesa's frames-per-second lines on stdin and prints, for label $1, the frames per
# second and the CPU per frame of the process ($2 ticks) and of Xvfb ($3 ticks) over $4 s.
frame_cost_line() {
  awk -v label="$1" -v c="$2" -v x="$3" -v s="$4" -v t="$ticks" '
    { sum += $1; n++ }
    END {
      fps = n ? sum / n : 0
      frames = fps * s
      printf "%-34s %6.1f frames/s  %6.2f ms CPU per frame  (Xvfb %5.2f ms)\n", label, fps,
        frames ? c / t * 1000 / frames : 0, frames ? x / t * 1000 / frames : 0
    }'
}
