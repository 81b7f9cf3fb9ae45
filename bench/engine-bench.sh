#!/usr/bin/env bash
# engine-bench.sh ENGINE RAW_LOOP KDF: ENCODE and DECODE of one file (1 GiB
# unless RUX_ENGINE_BENCH_MIB says otherwise) with rux4.exe, against age with
# an X25519 recipient, openssl enc -aes-256-ctr -pbkdf2 and a raw libsodium
# secret-stream loop on one core over the same file in memory (the yardstick),
# then an empty file against the key derivation alone (KDF, engine_kdf).
#
# Throughput leaves out key derivation and start-up: rux4.exe is timed from its
# first progress line, which follows the key derivation; the other tools' best
# time on an empty file is taken off their best time on the big one. Every
# figure is the best of five runs (RUX_ENGINE_BENCH_RUNS), as other work on the
# machine only ever slows a run down; the load average is printed with them.
# Peak resident memory comes from /usr/bin/time. The files go to
# RUX_ENGINE_BENCH_DIR, else /dev/shm when it has room, else a temporary
# folder; on a disk, rux4.exe also waits for its target to reach the disk
# (fsync) and the other tools do not.
#
# Goals: ENCODE and DECODE each at least 1.6 times the raw loop and 2 times
# age; peak memory at most the key derivation's plus 32 MiB for an empty and
# for the big file; an empty file within 10% of the key derivation's time.
set -euo pipefail
engine="$(realpath "$1")"
raw_loop="$(realpath "$2")"
kdf="$(realpath "$3")"
mib="${RUX_ENGINE_BENCH_MIB:-1024}"
runs="${RUX_ENGINE_BENCH_RUNS:-5}"

pick_dir() {
  if [ -n "${RUX_ENGINE_BENCH_DIR:-}" ]; then echo "$RUX_ENGINE_BENCH_DIR"; return; fi
  local free_kib
  free_kib=$(df -Pk /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')
  if [ -n "$free_kib" ] && [ "$free_kib" -gt $(( mib * 1024 * 6 )) ]; then echo /dev/shm; else echo "${TMPDIR:-/tmp}"; fi
}
work="$(mktemp -d "$(pick_dir)/rux4-bench-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"

have_time=1
[ -x /usr/bin/time ] || { have_time=0; echo "(no /usr/bin/time: peak memory not measured; apt-get install time)"; }

# One Key Book record: name, ten keys, Enlarge, Scramble, each NUL-ended and padded.
field() {  # TEXT WIDTH FILLER
  printf '%s\0' "$1"
  local pad=$(( $2 - ${#1} - 1 ))
  [ "$pad" -gt 0 ] && head -c "$pad" /dev/zero | tr '\0' "$3"
  return 0
}
{
  field bench 20 _
  for n in 1 2 3 4 5 6 7 8 9 10; do field "BenchKey${n}x7Q" 65 _; done
  field 5000000000 15 ,
  field 3250000000.01 20 -
} > book.kb
[ "$(stat -c %s book.kb)" -eq 705 ] || { echo "bad bench Key Book"; exit 1; }

head -c $(( mib * 1048576 )) /dev/urandom > big.bin
: > empty.bin
age-keygen -o age.key 2> /dev/null
recipient="$(age-keygen -y age.key)"
zeros=(0 0 0 0 0 0 0 0 0 0 0 0 0 0)

# timed NAME COMMAND...: runs the command once; sets seconds (whole run),
# stream_seconds (from its first "progress:" line to its end, for rux4.exe,
# whose key derivation comes before that line) and rss (peak KiB, 0 unknown).
timed() {
  local name="$1"; shift
  local measure=("$@")
  if [ "$have_time" -eq 1 ]; then measure=(/usr/bin/time -f '%M' -o rss.txt "$@"); fi
  local times
  times=$(
    start=$(date +%s%N); streaming=""
    "${measure[@]}" 2> run.err | while IFS= read -r line; do
      if [ -z "$streaming" ] && [[ "$line" == progress:* ]]; then streaming=$(date +%s%N); echo "$streaming"; fi
    done | { read -r streaming || streaming=""; cat > /dev/null; end=$(date +%s%N); echo "$start ${streaming:-$start} $end"; }
  )
  [ -s run.err ] && ! grep -q 'progress' run.err && grep -qi 'error\|fail' run.err && { echo "$name failed:"; cat run.err; exit 1; }
  read -r t_start t_stream t_end <<< "$times"
  seconds=$(awk -v ns=$(( t_end - t_start )) 'BEGIN { printf "%.4f", ns / 1e9 }')
  stream_seconds=$(awk -v ns=$(( t_end - t_stream )) 'BEGIN { printf "%.4f", ns / 1e9 }')
  rss=0
  if [ "$have_time" -eq 1 ]; then rss=$(tail -n 1 rss.txt); fi
}

# best_of NAME COMMAND...: the best seconds and stream_seconds of $runs runs,
# and the largest rss.
best_of() {
  local name="$1"; shift
  best_seconds=""; best_stream=""; best_rss=0
  for _ in $(seq "$runs"); do
    timed "$name" "$@"
    if [ -z "$best_seconds" ] || awk -v a="$seconds" -v b="$best_seconds" 'BEGIN { exit !(a < b) }'; then best_seconds=$seconds; fi
    if [ -z "$best_stream" ] || awk -v a="$stream_seconds" -v b="$best_stream" 'BEGIN { exit !(a < b) }'; then best_stream=$stream_seconds; fi
    if [ "$rss" -gt "$best_rss" ]; then best_rss=$rss; fi
  done
}

# measure NAME ENCODE DECODE: command templates with IN and OUT for the files.
# Prints one table row. rux4.exe is timed from its first progress line; the
# other tools' set-up is their best time on an empty file, taken off.
declare -A result
measure() {
  local name="$1" encode="$2" decode="$3" direction template in out setup time rss_enc=0 rss_dec=0 row=""
  for direction in enc dec; do
    if [ "$direction" = enc ]; then template="$encode"; in=bin; out=enc; else template="$decode"; in=enc; out=dec; fi
    local small="${template//IN/empty.$in}"; small="${small//OUT/empty.$out}"
    local large="${template//IN/big.$in}"; large="${large//OUT/big.$out}"
    best_of "$name" bash -c "rm -f empty.$out; $small"
    setup=$best_seconds
    best_of "$name" bash -c "rm -f big.$out; $large"
    if [ "$name" = rux4.exe ]; then
      time=$best_stream
      setup=$(awk -v a="$best_seconds" -v b="$best_stream" 'BEGIN { printf "%.4f", a - b }')
    else
      time=$(awk -v a="$best_seconds" -v b="$setup" 'BEGIN { printf "%.4f", a - b }')
    fi
    result[$name.$direction]=$(awk -v m="$mib" -v t="$time" 'BEGIN { printf "%.0f", m / t }')
    result[$name.$direction.setup]=$setup
    if [ "$direction" = enc ]; then rss_enc=$best_rss; else rss_dec=$best_rss; fi
  done
  cmp -s big.bin big.dec || { echo "$name: decoded file differs"; exit 1; }
  rm -f big.enc big.dec
  printf '%-30s %12s %12s %10s %10s %9s %9s\n' "$name" "${result[$name.enc]}" "${result[$name.dec]}" \
    "${result[$name.enc.setup]}" "${result[$name.dec.setup]}" $(( rss_enc / 1024 )) $(( rss_dec / 1024 ))
}

echo "file: ${mib} MiB in $(dirname "$work"); best of ${runs}; MiB/s without key derivation and start-up"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-30s %12s %12s %10s %10s %9s %9s\n' tool "encode MiB/s" "decode MiB/s" "setup enc" "setup dec" "MiB RSS e" "MiB RSS d"

best_push=""; best_pull=""
for _ in $(seq "$runs"); do
  "$raw_loop" big.bin > raw.txt
  while read -r what seconds; do
    if [ "$what" = push ] && { [ -z "$best_push" ] || awk -v a="$seconds" -v b="$best_push" 'BEGIN { exit !(a < b) }'; }; then best_push=$seconds; fi
    if [ "$what" = pull ] && { [ -z "$best_pull" ] || awk -v a="$seconds" -v b="$best_pull" 'BEGIN { exit !(a < b) }'; }; then best_pull=$seconds; fi
  done < raw.txt
done
result[raw.enc]=$(awk -v m="$mib" -v t="$best_push" 'BEGIN { printf "%.0f", m / t }')
result[raw.dec]=$(awk -v m="$mib" -v t="$best_pull" 'BEGIN { printf "%.0f", m / t }')
printf '%-30s %12s %12s %10s %10s %9s %9s\n' "raw secret stream (memory)" "${result[raw.enc]}" "${result[raw.dec]}" - - - -

measure rux4.exe "'$engine' book.kb 1 c IN OUT 0 ${zeros[*]}" "'$engine' book.kb 1 d IN OUT 0 ${zeros[*]}"
measure "age X25519" "age -r $recipient -o OUT IN" "age -d -i age.key -o OUT IN"
measure "openssl aes-256-ctr pbkdf2" "openssl enc -aes-256-ctr -pbkdf2 -pass pass:bench -in IN -out OUT" \
  "openssl enc -d -aes-256-ctr -pbkdf2 -pass pass:bench -in IN -out OUT"

awk -v e="${result[rux4.exe.enc]}" -v d="${result[rux4.exe.dec]}" -v re="${result[raw.enc]}" \
  -v rd="${result[raw.dec]}" -v ae="${result[age X25519.enc]}" -v ad="${result[age X25519.dec]}" 'BEGIN {
  printf "rux4.exe against the raw loop: encode %.2fx, decode %.2fx (goal 1.6x)\n", e / re, d / rd
  printf "rux4.exe against age: encode %.2fx, decode %.2fx (goal 2x)\n", e / ae, d / ad
}'

# An empty file costs the key derivation and little else, in time and memory;
# the big file's memory does not grow with it.
best_of kdf "$kdf"
kdf_seconds=$best_seconds; kdf_rss=$best_rss
best_of empty "$engine" book.kb 1 c empty.bin empty.enc 0 "${zeros[@]}"
empty_seconds=$best_seconds; empty_rss=$best_rss
awk -v e="$empty_seconds" -v k="$kdf_seconds" 'BEGIN {
  printf "rux4.exe on an empty file: %.3f s, key derivation alone: %.3f s: %+.1f%% (goal: within 10%%)\n", e, k, (e / k - 1) * 100
}'
if [ "$have_time" -eq 1 ]; then
  /usr/bin/time -f '%M' -o rss.txt "$engine" book.kb 1 c big.bin big.enc 0 "${zeros[@]}" > /dev/null
  big_rss=$(tail -n 1 rss.txt)
  echo "rux4.exe peak memory: key derivation alone $(( kdf_rss / 1024 )) MiB, empty file $(( empty_rss / 1024 )) MiB, ${mib} MiB file $(( big_rss / 1024 )) MiB (goal: at most $(( kdf_rss / 1024 + 32 )) MiB)"
fi

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
