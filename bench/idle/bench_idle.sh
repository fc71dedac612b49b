#!/bin/sh
# Idle cost of the real program: starts it from a private copy under a private X server, lets it
# settle (offline model loaded, start-up check done; docked in a tray when trayer is installed),
# then reads its CPU time (all threads) and its wake-ups (context switches) over a window of idle
# seconds and prints the figures.
#
#   bench_idle.sh [path/to/zorvel] [seconds]    (defaults: the zorvel beside this script's
#                                                 build folder, 60 s)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../bin/zorvel}
seconds=${2:-60}
settle=${SETTLE_SECONDS:-10}
[ -x "$bin" ] || { echo "no program at $bin" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$bin" "$work/zorvel"
mkdir -p "$work/tmp" "$work/xdg"
chmod 700 "$work/xdg"
# Not a first start (no first-use hints), the update check goes to a closed loopback port.
printf 'FirstOpen=1\nIntelligenceModel=1\nAutomaticUpdate=1\nTranslationResultLanguage=1\n' >"$work/config.txt"
printf '[update]\nserver=http://127.0.0.1:9\n' >"$work/services.ini"

cat >"$work/measure.sh" <<'INNER'
#!/bin/sh
set -eu
work=$1 seconds=$2 settle=$3
# A tray to dock in, as on most desktops: the program then idles in the tray with its window
# hidden. Without trayer it shows its main window, as on a desktop without a tray.
if command -v trayer >/dev/null; then
    trayer --edge bottom --align right --widthtype request >/dev/null 2>&1 &
    sleep 2
fi
"$work/zorvel" >"$work/out.txt" 2>&1 &
pid=$!
sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "the program ended early:" >&2; cat "$work/out.txt" >&2; exit 1; }
# Sums over all threads: CPU nanoseconds (schedstat) and context switches.
sample() {
    ns=0 switches=0
    for task in /proc/"$pid"/task/*; do
        set -- $(cat "$task/schedstat" 2>/dev/null || echo 0 0 0)
        ns=$((ns + $1))
        v=$(sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "$task/status" 2>/dev/null || echo 0)
        n=$(sed -n 's/^nonvoluntary_ctxt_switches:[[:space:]]*//p' "$task/status" 2>/dev/null || echo 0)
        switches=$((switches + ${v:-0} + ${n:-0}))
    done
    ticks=$(awk '{ print $14 + $15 }' /proc/"$pid"/stat)
    echo "$ns $switches $ticks"
}
# Per thread: name, CPU nanoseconds, context switches.
threads() {
    for task in /proc/"$pid"/task/*; do
        printf '%s\t%s\t%s\n' "$(cat "$task/comm")" "$(cut -d' ' -f1 "$task/schedstat")" \
            "$(awk '/ctxt_switches/ { n += $2 } END { print n }' "$task/status")"
    done
}
set -- $(sample); ns0=$1 sw0=$2 t0=$3
threads >"$work/threads0"
sleep "$seconds"
set -- $(sample); ns1=$1 sw1=$2 t1=$3
threads >"$work/threads1"
threads=$(ls /proc/"$pid"/task | wc -l)
kill "$pid"
wait "$pid" 2>/dev/null || true
hz=$(getconf CLK_TCK)
awk -v ns=$((ns1 - ns0)) -v sw=$((sw1 - sw0)) -v t=$((t1 - t0)) -v s="$seconds" -v hz="$hz" -v th="$threads" 'BEGIN {
    printf "idle %d s, %d threads\n", s, th
    printf "CPU (schedstat):   %.1f ms = %.3f %% of a core\n", ns / 1e6, ns / 1e7 / s
    printf "CPU (utime+stime): %d ticks of 1/%d s = %.3f %% of a core\n", t, hz, t * 100 / hz / s
    printf "wake-ups:          %d context switches = %.1f per second\n", sw, sw / s
}'
# Threads that ran during the window.
paste "$work/threads0" "$work/threads1" | awk -F'\t' -v s="$seconds" '$5 - $2 > 0 {
    printf "  thread %-16s %.3f %% of a core, %.1f wake-ups per second\n", $1, ($5 - $2) / 1e7 / s, ($6 - $3) / s
}'
INNER
chmod +x "$work/measure.sh"
TMPDIR=$work/tmp XDG_RUNTIME_DIR=$work/xdg XDG_CONFIG_HOME=$work/xdg \
    xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$work/measure.sh" "$work" "$seconds" "$settle"
