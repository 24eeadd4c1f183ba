# Sourced by the measuring scripts: one process's resident and virtual memory, open
# files and threads, and its CPU time in clock ticks, read from /proc. Expects $pid.
sample() {
  printf "rss_kb=%s vm_kb=%s fds=%s threads=%s\n" \
    "$(awk '/^VmRSS/ {print $2}' /proc/$pid/status)" \
    "$(awk '/^VmSize/ {print $2}' /proc/$pid/status)" \
    "$(ls /proc/$pid/fd | wc -l)" \
    "$(awk '/^Threads/ {print $2}' /proc/$pid/status)"
}
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
ticks=$(getconf CLK_TCK)
