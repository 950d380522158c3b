# Sourced by the measuring scripts: the processor time of processes, from /proc.
# shellcheck shell=sh

# ticks PID: user and system time of a process, in clock ticks (0 once it has gone).
ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0
}

# name_of PID: the program's file name.
name_of() {
  tr '\0' ' ' <"/proc/$1/cmdline" | sed 's/ *$//' | awk '{ print $1 }' | sed 's|.*[/\\]||'
}

# measure SECONDS PID...: sleeps SECONDS, then prints each process's share of one core over
# that time and the share of them all.
measure() {
  seconds=$1
  shift
  for pid in "$@"; do eval "before_$pid=$(ticks "$pid")"; done
  start=$(date +%s.%N)
  sleep "$seconds"
  elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')
  hz=$(getconf CLK_TCK)
  total=0
  for pid in "$@"; do
    eval "used=\$(( \$(ticks $pid) - before_$pid ))"
    total=$((total + used))
    share "$(name_of "$pid")" "$used"
  done
  share "all of them" "$total"
}

share() {
  awk -v name="$1" -v t="$2" -v hz="$hz" -v e="$elapsed" \
    'BEGIN { printf "  %-24s %6.2f s  %5.2f %% of a core\n", name, t / hz, 100 * t / hz / e }'
}
