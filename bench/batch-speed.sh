#!/usr/bin/env bash
# Times torvel-batch as a whole process (load, function, save) on the generated
# 1,000,000-line milling program, against the scripts a machinist would write
# instead (../shared/bench/peers). Each round runs every command once, in turn,
# so that a busy moment of the machine falls on all of them alike; the figures
# are medians over the rounds and a ratio is the peer's median time over ours.
#
#   bench/batch-speed.sh [BUILD_DIR]     (default: build)
#
#   ROUNDS=N        rounds (default 5)
#   BEFORE=PATH     another torvel-batch (an older build) timed in the same rounds
#
# Needs perl, mawk and python3 for the peers; without ../shared/bench the program
# comes from the core benchmark and the peers are left out.
#
# "-o" writes a new file through the saving path, which waits until the bytes are
# on the disk; "stdout" sends the result to a new file through standard output, as
# the peers do, with no such wait (as fast as "-o OUT --no-sync"). The result goes to a new file each run: replacing
# an existing file costs more on ext4, which starts writing the new data out when a
# rename replaces a file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
batch="$build/src/cli/torvel-batch"
before="${BEFORE:-}"
rounds="${ROUNDS:-5}"
shared="$root/../shared/bench"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

if [ -f "$shared/gen_gcode.py" ]; then
    program="${TMPDIR:-/tmp}/torvel-bench-gen-1m-seed1.nc"
    [ -f "$program" ] || python3 "$shared/gen_gcode.py" 1000000 --seed 1 >"$program"
    peers="$shared/peers"
else
    # The core benchmark writes its program on its first use.
    program="${TMPDIR:-/tmp}/torvel-bench-1m.nc"
    [ -f "$program" ] || "$build/bench/torvel-bench" --benchmark_filter=LoadAndSave >/dev/null
    peers=""
fi
bytes=$(stat -c %s "$program")
echo "program: $program, $bytes bytes; medians of $rounds rounds"

# Microseconds one command takes, its standard output going to a new file.
took() {
    rm -f "$out/result.nc"
    local start end
    start=$(date +%s%N)
    "$@" >"$out/result.nc"
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
rate() { echo $((bytes / $1)); } # bytes per microsecond = MB/s

# name | torvel-batch arguments | peer commands, one per variant, separated by ';'
functions=(
    "no-op|replace --find @@@ --with x|"
    "spaces --remove|spaces --remove|perl $peers/a_spaces.pl FILE;sed -f $peers/a_spaces.sed FILE;sed -f $peers/a_spaces_hold.sed FILE"
    "translate --x 2.5 --y -1|translate --x 2.5 --y -1|mawk -f $peers/b_translate.awk FILE;perl $peers/b_translate.pl FILE;python3 $peers/b_translate.py <FILE"
    "renumber 10/10/4|renumber --start 10 --step 10 --digits 4|mawk -f $peers/c_renumber.awk FILE"
    "mirror --x|mirror --x|mawk -f $peers/d_mirror.awk FILE"
    "spaces --add|spaces --add|"
    "replace G01 G1|replace --find G01 --with G1|"
    "delete F1200 --text|delete --find F1200 --text|"
    "delete M08 --lines|delete --find M08 --lines|"
)

peerName() { # the script's file name
    local w
    for w in $1; do
        case $w in */peers/*) echo "${w##*/}" && return ;; esac
    done
}

peerCommand() { # a variant with FILE filled in, run through the shell for its redirection
    bash -c "${1//FILE/\"\$0\"}" "$program"
}

# The best variant of each peer: one run each picks it, the rounds then time it.
declare -A peer
if [ -n "$peers" ]; then
    for f in "${functions[@]}"; do
        IFS='|' read -r name _ variants <<<"$f"
        [ -n "$variants" ] || continue
        best="" bestTime=0
        IFS=';' read -ra list <<<"$variants"
        for v in "${list[@]}"; do
            t=$(took peerCommand "$v")
            if [ -z "$best" ] || [ "$t" -lt "$bestTime" ]; then best="$v" bestTime=$t; fi
        done
        peer[$name]="$best"
    done
fi

declare -A times
for ((r = 0; r < rounds; ++r)); do
    for f in "${functions[@]}"; do
        IFS='|' read -r name args _ <<<"$f"
        read -ra argv <<<"$args"
        times[$name,o]+=" $(took "$batch" "${argv[@]}" -o "$out/result.nc" "$program")"
        times[$name,s]+=" $(took "$batch" "${argv[@]}" "$program")"
        if [ -n "$before" ]; then
            times[$name,bo]+=" $(took "$before" "${argv[@]}" -o "$out/result.nc" "$program")"
            times[$name,bs]+=" $(took "$before" "${argv[@]}" "$program")"
        fi
        if [ -n "${peer[$name]:-}" ]; then
            times[$name,p]+=" $(took peerCommand "${peer[$name]}")"
        fi
    done
done

header="%-26s %8s %8s"
[ -n "$before" ] && header+=" %8s %8s"
header+=" %8s %7s %7s  %s\n"
cols=(function "-o" stdout)
[ -n "$before" ] && cols+=("was -o" "was out")
cols+=(peer "ratio" "ratio" "peer")
# shellcheck disable=SC2059
printf "$header" "${cols[@]}"
# shellcheck disable=SC2059
printf "$header" "" "MB/s" "MB/s" $([ -n "$before" ] && echo "MB/s MB/s") "MB/s" "-o" "stdout" ""
for f in "${functions[@]}"; do
    IFS='|' read -r name _ _ <<<"$f"
    # shellcheck disable=SC2086
    o=$(median ${times[$name,o]}) s=$(median ${times[$name,s]})
    row=("$name" "$(rate "$o")" "$(rate "$s")")
    if [ -n "$before" ]; then
        # shellcheck disable=SC2086
        row+=("$(rate "$(median ${times[$name,bo]})")" "$(rate "$(median ${times[$name,bs]})")")
    fi
    if [ -n "${peer[$name]:-}" ]; then
        # shellcheck disable=SC2086
        p=$(median ${times[$name,p]})
        row+=("$(rate "$p")" "$(awk -v a="$p" -v b="$o" 'BEGIN { printf "%.1f", a / b }')"
            "$(awk -v a="$p" -v b="$s" 'BEGIN { printf "%.1f", a / b }')" "$(peerName "${peer[$name]}")")
    else
        row+=(- - - -)
    fi
    # shellcheck disable=SC2059
    printf "$header" "${row[@]}"
done

# Replacing the program itself: the default flushes the result to the disk before the
# rename and the folder after it; --no-sync leaves that to the system.
cp "$program" "$out/inplace.nc"
inplace() {
    local times=()
    for ((r = 0; r < rounds; ++r)); do
        local start end
        start=$(date +%s%N)
        "$batch" spaces --remove "$@" --in-place "$out/inplace.nc"
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%-26s %8d MB/s\n' "--in-place $*" "$(rate "$(median "${times[@]}")")"
}
inplace
inplace --no-sync

# --verify interprets the program before and after and compares them: what it adds is
# held to the time of two interpretations ("info" is the load and one). The mirror
# exchanges G02/G03 and leaves I/J, which gives a finding on every mirrored arc.
verifyRuns=("translate --x 2.5 --y -1" "mirror --x --g02-g03 --g03-g02" "arcs --incremental")
declare -A vt
for ((r = 0; r < rounds; ++r)); do
    vt[info]+=" $(took "$batch" info "$program")"
    for v in "${verifyRuns[@]}"; do
        read -ra argv <<<"$v"
        vt[$v]+=" $(took "$batch" "${argv[@]}" "$program")"
        vt[$v,v]+=" $(took "$batch" "${argv[@]}" --verify "$program" 2>/dev/null || true)"
    done
done
# shellcheck disable=SC2086
info=$(median ${vt[info]})
printf '%-34s %8d ms (two interpretations: about %d ms)\n' "info" $((info / 1000)) $((2 * info / 1000))
for v in "${verifyRuns[@]}"; do
    # shellcheck disable=SC2086
    plain=$(median ${vt[$v]}) checked=$(median ${vt[$v,v]})
    printf '%-34s %8d ms, --verify %d ms: adds %d ms\n' "$v" $((plain / 1000)) $((checked / 1000)) \
        $(((checked - plain) / 1000))
done

# The coloured listing streams: its peak memory stays under twice the program's size.
if [ -x /usr/bin/time ]; then
    peak=$(/usr/bin/time -f %M "$batch" html --settings "$out/none.ini" -o "$out/listing.html" "$program" 2>&1 >/dev/null)
    printf '%-26s %8d MB peak for %d MB\n' "html" $((peak / 1024)) $((bytes / 1048576))
fi
