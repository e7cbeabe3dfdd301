# Waiting for apt's locks, for the scripts that install packages (sourced, not run).
#
# apt-get can wait for dpkg's lock itself (-o DPkg::Lock::Timeout=<s>), but `apt-get update` gives up at
# once when another run holds the package lists' lock. These helpers find the holder of any of apt's
# locks in /proc/locks (apt takes POSIX record locks) and wait for it with a message.

# The lock files; a test may point this at files of its own.
: "${APT_LOCK_FILES:=/var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/lib/apt/lists/lock /var/cache/apt/archives/lock}"

# Prints "<pid> (<command>)" of a process holding one of the locks; fails when none is held.
apt_lock_holder() {
  local file inode pid
  for file in $APT_LOCK_FILES; do
    inode=$(stat -c %i "$file" 2>/dev/null) || continue
    # "1: POSIX  ADVISORY  WRITE 1234 fe:00:405102 0 EOF"; a process waiting for a lock has "->" first.
    pid=$(awk -v inode="$inode" '$2 != "->" { split($6, id, ":"); if (id[3] == inode) { print $5; exit } }' /proc/locks)
    if [ -n "$pid" ]; then
      echo "$pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo gone))"
      return 0
    fi
  done
  return 1
}

# Waits until no lock is held, at most $1 seconds; says what it waits for. Fails on the time-out.
wait_for_apt_lock() {
  local timeout=$1 waited=0 holder
  while holder=$(apt_lock_holder); do
    if [ "$waited" -ge "$timeout" ]; then
      echo "Another package manager run (process $holder) still holds apt's lock after $timeout s;" \
           "run this again once it has finished." >&2
      return 1
    fi
    if [ "$waited" -eq 0 ]; then
      echo "Waiting for another package manager run to finish (process $holder holds apt's lock;" \
           "up to $timeout s)..." >&2
    fi
    sleep 1
    waited=$((waited + 1))
  done
  return 0
}
