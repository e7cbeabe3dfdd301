#!/usr/bin/env bash
# The setup script's wait for apt's locks, on lock files of the test's own held with flock(1).
# Usage: apt_lock_test.sh <tools/apt-lock.sh>
set -euo pipefail
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export APT_LOCK_FILES="$folder/lists $folder/frontend"
touch "$folder/lists" "$folder/frontend"
# shellcheck source=/dev/null
. "$1"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Holds one lock for $2 seconds in the background; returns once the lock is taken.
hold() {
  flock "$1" sleep "$2" &
  holder=$!
  for _ in $(seq 100); do apt_lock_holder >/dev/null && return 0; sleep 0.05; done
  fail "the lock on $1 was never seen"
}

# Free: no wait, nothing said.
out=$(wait_for_apt_lock 5 2>&1) || fail "gave up on free locks: $out"
[ -z "$out" ] || fail "said something with the locks free: $out"
apt_lock_holder >/dev/null && fail "a free lock reported as held"

# Held for a moment: one message naming the holder, then it goes on once the lock is free.
hold "$folder/frontend" 2
out=$(wait_for_apt_lock 60 2>&1) || fail "gave up while the lock was released in time: $out"
grep -q "Waiting for another package manager run to finish (process $holder (flock)" <<<"$out" ||
  fail "no message naming the holder: $out"
[ "$(grep -c Waiting <<<"$out")" -eq 1 ] || fail "the message was repeated: $out"
apt_lock_holder >/dev/null && fail "returned while the lock was still held"
wait "$holder"

# Held past the time-out: it gives up, and says so.
hold "$folder/lists" 3
if out=$(wait_for_apt_lock 1 2>&1); then
  fail "did not give up on a lock held past the time-out"
fi
grep -q "still holds apt's lock after 1 s" <<<"$out" || fail "no message on giving up: $out"
wait "$holder"
echo "apt lock waits: passed"
