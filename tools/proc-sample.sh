# Sourced by the measuring scripts: one process's resident and virtual memory, open
# files and threads, and its CPU time in clock ticks, read from /proc. sample and cpu
# read the process $pid.
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
