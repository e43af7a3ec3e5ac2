#!/bin/sh
# Compares the property-list codec with plistutil (libplist) and Python's plistlib on the heavy fixture:
# time and peak memory of binary -> XML -> binary, as ratios to ours, then the codec benchmarks
# (plist_bench) and the memory of the loaded fixture (plist_memory).
# Usage: bench/plist/compare_plist.sh [BUILD_DIR [LIMIT_SECONDS]]
#   BUILD_DIR: a RelWithDebInfo build with QD_BENCH on (default build-plist); LIMIT_SECONDS: how long one
#   conversion may take before it is stopped and counted as not finished (default 900).
set -eu
build=${1:-build-plist}
limit=${2:-900}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/fixture/make_fixture" --out "$work/heavy.plist"

# measure NAME COMMAND...: runs the command, prints its time and peak memory, appends them to results;
# a command stopped at the limit counts as taking the limit ("not finished").
measure() {
    name=$1
    shift
    if timeout "$limit" /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null; then
        read -r seconds kilobytes <"$work/time"
        printf '%s %s %s\n' "$name" "$seconds" "$kilobytes" >>"$work/results"
        awk -v n="$name" -v s="$seconds" -v k="$kilobytes" 'BEGIN { printf "%-26s %7.2f s %7.0f MB peak\n", n, s, k / 1024 }'
    else
        printf '%s %s 0 unfinished\n' "$name" "$limit" >>"$work/results"
        printf '%-26s not finished within %s s\n' "$name" "$limit"
    fi
}

# python3 -c "$plistlib_convert" IN OUT xml|binary
plistlib_convert='import plistlib, sys
fmt = plistlib.FMT_XML if sys.argv[3] == "xml" else plistlib.FMT_BINARY
with open(sys.argv[1], "rb") as f:
    value = plistlib.load(f)
with open(sys.argv[2], "wb") as f:
    plistlib.dump(value, f, fmt=fmt)'

echo "binary -> XML -> binary of $(du -m "$work/heavy.plist" | cut -f1) MB:"
measure "ours binary->xml" "$build/src/tools/qualdern-plist" convert --xml "$work/heavy.plist" "$work/ours.xml"
measure "ours xml->binary" "$build/src/tools/qualdern-plist" convert --binary "$work/ours.xml" "$work/ours.plist"
measure "plistutil binary->xml" plistutil -i "$work/heavy.plist" -o "$work/libplist.xml" -f xml
measure "plistutil xml->binary" plistutil -i "$work/libplist.xml" -o "$work/libplist.plist" -f bin
measure "plistlib binary->xml" python3 -c "$plistlib_convert" "$work/heavy.plist" "$work/plistlib.xml" xml
measure "plistlib xml->binary" python3 -c "$plistlib_convert" "$work/plistlib.xml" "$work/plistlib.plist" binary

# Every result must still be a property list of the same shape.
for file in ours.plist libplist.plist plistlib.plist; do
    if [ -f "$work/$file" ]; then
        "$build/src/tools/qualdern-plist" check "$work/$file" | sed "s|$work/||"
    fi
done

echo
echo "time and peak memory relative to ours (higher is slower / bigger; '>' when not finished):"
awk '{ tool = $1; step = $2; seconds[tool, step] = $3; memory[tool, step] = $4; unfinished[tool, step] = ($5 != "") }
     END {
         split("binary->xml xml->binary", steps, " ")
         split("plistutil plistlib", tools, " ")
         for (t = 1; t <= 2; ++t)
             for (s = 1; s <= 2; ++s) {
                 key = tools[t] SUBSEP steps[s]
                 if (unfinished[key])
                     printf "%-10s %-12s time >x%.1f\n", tools[t], steps[s], seconds[key] / seconds["ours", steps[s]]
                 else
                     printf "%-10s %-12s time x%5.1f   memory x%5.1f\n", tools[t], steps[s],
                            seconds[key] / seconds["ours", steps[s]], memory[key] / memory["ours", steps[s]]
             }
     }' "$work/results"

echo
"$build/bench/plist/plist_bench" --benchmark_filter=binary
echo
"$build/bench/plist/plist_memory" "$work/heavy.plist" 120
