#!/usr/bin/env bash
# Runs Windows-side test entries again and again and counts, per entry, the runs it failed:
# a test that waits on another process, a timer, a window or the sound output must pass
# every run here, also under load, before it lands.
#   scripts/flaky.sh N [--load] [test names...]
# N rounds of the chosen ctest entries of the Windows build (every entry labelled "wine" by
# default), run as the test command runs them (two at a time). --load keeps both cores busy
# with two busy loops meanwhile. Builds what is missing first. The log of every failed run
# is named in the summary; every round's whole output stays under build/flaky/. Exits non-zero when any run failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NORAVEL_BUILD_ROOT:-$root/build}

usage() {
    echo "usage: $0 N [--load] [test names...]" >&2
    exit 2
}
rounds=${1:-}
case "$rounds" in '' | *[!0-9]* | 0) usage ;; esac
shift
load=0
names=()
for argument in "$@"; do
    case "$argument" in
    --load) load=1 ;;
    -*) usage ;;
    *) names+=("$argument") ;;
    esac
done

if [ ! -f "$build/win/CTestTestfile.cmake" ]; then
    "$root/scripts/setup.sh" || exit 1
    "$root/scripts/build.sh" || exit 1
fi
"$root/scripts/testbed.sh" start || exit 1

# The entries: the named ones (each must exist) or every Wine entry.
# (ctest would list the setups they need too, such as the release package, which are no
# Wine entries of their own.)
mapfile -t known < <(cd "$build/win" && ctest -N -L wine -FS '.*' -FC '.*' | sed -n -E 's/^ *Test +#[0-9]+: +([^ ]+).*/\1/p')
if [ ${#names[@]} -eq 0 ]; then
    names=("${known[@]}")
else
    for name in "${names[@]}"; do
        if ! printf '%s\n' "${known[@]}" | grep -qx -- "$name"; then
            echo "flaky.sh: no Wine test entry named '$name'; the entries are:" >&2
            printf '  %s\n' "${known[@]}" >&2
            exit 2
        fi
    done
fi
[ ${#names[@]} -gt 0 ] || { echo "flaky.sh: no Wine test entries in $build/win" >&2; exit 1; }
pattern="^($(printf '%s|' "${names[@]}" | sed 's/|$//'))\$"

busy=()
stop_load() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null; done
    busy=()
}
trap stop_load EXIT
trap 'exit 130' INT TERM
if [ $load = 1 ]; then
    for _ in 1 2; do
        (while :; do :; done) &
        busy+=($!)
    done
fi

logs=$build/flaky
rm -rf "$logs"
mkdir -p "$logs"
declare -A failures=()
declare -A failedLogs=()
for name in "${names[@]}"; do failures[$name]=0; done
started=$(date +%s)
for round in $(seq 1 "$rounds"); do
    log=$logs/round-$round.log
    # Verbose, so that the figures a passing test prints (the silences between ayat, say)
    # are kept too.
    # What the entries need made first (ctest fixtures: the release package, say) is made in
    # the first round and reused after it: the rounds repeat the tests, not their preparation.
    reuse=()
    [ "$round" -gt 1 ] && reuse=(--fixture-exclude-setup '.*')
    (cd "$build/win" && ctest -R "$pattern" "${reuse[@]}" -j2 --verbose) >"$log" 2>&1
    for name in "${names[@]}"; do
        # "Passed" on the entry's line is a pass; a failure, a timeout or no line at all is not.
        if ! grep -q -E "Test +#[0-9]+: +$name \.+ +Passed" "$log"; then
            failures[$name]=$((failures[$name] + 1))
            failedLogs[$name]="${failedLogs[$name]:-} $log"
        fi
    done
    echo "round $round of $rounds done ($(($(date +%s) - started)) s)"
done
stop_load

echo
echo "flaky.sh: $rounds rounds$([ $load = 1 ] && echo ' under a load of two busy loops')"
total=0
for name in "${names[@]}"; do
    printf '%-40s %d of %d runs failed%s\n' "$name" "${failures[$name]}" "$rounds" \
        "${failedLogs[$name]:+ (logs:${failedLogs[$name]})}"
    total=$((total + failures[$name]))
done
[ $total -eq 0 ]
