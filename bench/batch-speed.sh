#!/usr/bin/env bash
# Times torvel-batch as a whole process (load, function, save) on the generated
# 1,000,000-line milling program, best of seven runs per function.
#
#   bench/batch-speed.sh [BUILD_DIR]     (default: build)
#
# The result goes to a new file each run (-o); replacing an existing file costs
# more on ext4, which starts writing the new data out when a rename replaces a file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
batch="$build/src/cli/torvel-batch"
program="${TMPDIR:-/tmp}/torvel-bench-1m.nc"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
# The core benchmark writes the program on its first use.
[ -f "$program" ] || "$build/bench/torvel-bench" --benchmark_filter=LoadAndSave >/dev/null
bytes=$(stat -c %s "$program")
echo "program: $program, $bytes bytes"

run() {
    local best=0
    for _ in 1 2 3 4 5 6 7; do
        rm -f "$out/result.nc"
        local start end took
        start=$(date +%s%N)
        "$batch" "$@" -o "$out/result.nc" "$program"
        end=$(date +%s%N)
        took=$(((end - start) / 1000))
        if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    printf '%-34s %6d ms %6d MB/s\n' "$*" $((best / 1000)) $((bytes / best))
}

run spaces --remove
run spaces --add
run renumber --start 10 --step 10
run renumber --digits 6
run replace --find G01 --with G1
run delete --find F1200 --text
run delete --find M08 --lines

# Replacing the program itself: the default flushes the result to the disk before the
# rename and the folder after it; --no-sync leaves that to the system.
cp "$program" "$out/inplace.nc"
inplace() {
    local best=0
    for _ in 1 2 3 4 5 6 7; do
        local start end took
        start=$(date +%s%N)
        "$batch" spaces --remove "$@" --in-place "$out/inplace.nc"
        end=$(date +%s%N)
        took=$(((end - start) / 1000))
        if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    printf '%-34s %6d ms\n' "--in-place $*" $((best / 1000))
}
inplace
inplace --no-sync

# The coloured listing streams: its peak memory stays under twice the program's size.
if [ -x /usr/bin/time ]; then
    peak=$(/usr/bin/time -f %M "$batch" html --settings "$out/none.ini" -o "$out/listing.html" "$program" 2>&1 >/dev/null)
    printf '%-34s %6d MB peak for %d MB\n' "html" $((peak / 1024)) $((bytes / 1048576))
fi
