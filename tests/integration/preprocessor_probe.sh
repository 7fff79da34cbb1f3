#!/usr/bin/env bash
# Skeld over a small Boost tree of our own, with the shipped data files. Each
# probe line prints _MSC_VER (a compiler macro, listed, so taken away inside
# Boost), _WIN32 (a platform macro, not listed, so always there) and
# PROBE_OTHER (not listed) where it stands: in the program, in Boost, in
# system headers reached from Boost, nested or not, and in a header the
# exclusion list treats as non-Boost.
set -euo pipefail
skeld=$1 data=$2 scratch=$3 here=$(dirname "$0")
source "$here/lib.sh"
command -v g++ >/dev/null || skip "g++ not found"

probe=$scratch/probe
fresh_dir "$scratch"
cp -r "$here/probe" "$probe"
# Skeld copies the analyser configuration headers into these two.
mkdir -p "$probe/include/boost/config/compiler" "$probe/include/boost/config/platform"
mkdir "$scratch/out"
cat > "$scratch/personality.p_c" <<EOF
-sd _MSC_VER=1900
-sd _WIN32=1
-sd PROBE_OTHER=7
-si "$probe/include"
-si "$probe/sys"
EOF
run_skeld "$skeld" "$data" "$scratch/personality.p_c" "$probe/include/boost" "$scratch/out"

personality_flags "$scratch/personality.p_c" "$data/boost_compiler_person_settings.txt"
g++ -E -P "${INCLUDES[@]}" "${DEFINES[@]}" "$probe/main.cpp" > "$scratch/probe.i"
grep '^point ' "$scratch/probe.i" > "$scratch/points.txt" || true
diff -u "$probe/expected.txt" "$scratch/points.txt" || fail "probe lines differ (- expected, + seen)"
echo "probe: $(wc -l < "$scratch/points.txt") points as expected"
