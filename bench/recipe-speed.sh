#!/usr/bin/env bash
# Times `torvel-batch run` with a five-function recipe over 1,000 generated milling
# programs of about 30 KB each, with one worker and with two, best of seven runs each,
# and prints the aggregate rate and the speed-up.
#
#   bench/recipe-speed.sh [BUILD_DIR]     (default: build)
#
# Run it while nothing else keeps the cores busy (hold the build lock). The programs are
# generated once into $TMPDIR/torvel-recipe-bench/in.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
batch="$build/src/cli/torvel-batch"
generator="${TORVEL_GENERATOR:-$root/../shared/bench/gen_gcode.py}"
work="${TMPDIR:-/tmp}/torvel-recipe-bench"
files=1000
lines=1000

if [ "$(find "$work/in" -name '*.nc' 2>/dev/null | wc -l)" -ne "$files" ]; then
    rm -rf "$work/in"
    mkdir -p "$work/in"
    # The generator's main() in one process, once per seed: a thousand starts would take longer.
    python3 - "$generator" "$work/in" "$files" "$lines" <<'PY'
import contextlib, io, runpy, sys
generator, folder, files, lines = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
for seed in range(1, files + 1):
    sys.argv = [generator, lines, "--seed", str(seed)]
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        runpy.run_path(generator, run_name="__main__")
    with open("%s/prog%04d.nc" % (folder, seed), "w", newline="") as f:
        f.write(out.getvalue())
PY
fi

cat >"$work/recipe.torvel-recipe" <<'RECIPE'
# torvel recipe 1
spaces --remove
renumber --start 10 --step 10
translate --z -0.5 --plus
comment --find M08 --open '(' --close ')'
replace --find G01 --with G1
RECIPE

bytes=$(cat "$work"/in/*.nc | wc -c)
echo "programs: $files files, $bytes bytes in $work/in"
echo "recipe:   $(grep -vc '^#' "$work/recipe.torvel-recipe") functions"

# Every run writes into a folder of its own, all removed at the end. On ext4 without a
# journal (this machine's disk) creating files costs far more for a minute after many were
# deleted, so a run that follows the last one's clean-up too soon waits for that minute.
rm -rf "$work"/out.*
sync
if [ -f "$work/cleaned" ]; then
    wait_s=$((61 - ($(date +%s) - $(stat -c %Y "$work/cleaned"))))
    if [ "$wait_s" -gt 0 ]; then
        echo "waiting ${wait_s}s after the last run's clean-up"
        sleep "$wait_s"
    fi
fi
trap 'rm -rf "$work"/out.*; sync; touch "$work/cleaned"' EXIT

best_us() {
    local jobs="$1" best=0
    for _ in 1 2 3 4 5 6 7; do
        local out start end took
        out=$(mktemp -d "$work/out.XXXXXX")
        start=$(date +%s%N)
        "$batch" run "$work/recipe.torvel-recipe" -j "$jobs" -o "$out" "$work"/in/*.nc >/dev/null
        end=$(date +%s%N)
        took=$(((end - start) / 1000))
        if [ "$best" -eq 0 ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    echo "$best"
}

one=$(best_us 1)
two=$(best_us 2)
printf -- '-j 1  %6d ms  %6d MB/s\n' $((one / 1000)) $((bytes / one))
printf -- '-j 2  %6d ms  %6d MB/s\n' $((two / 1000)) $((bytes / two))
awk -v a="$one" -v b="$two" 'BEGIN { printf "speed-up -j 2 / -j 1: %.2f\n", a / b }'
