#!/bin/sh
# What a file manager does on "Open With Pagewright" with three files: run
# the desktop entry's Exec line with the files for %F. One window opens, and
# the window program was started with one "-add FILE" per file, in order.
# Also: the window program started through its bin/ link shows its notice.
#
# OpenWithTest.sh PREFIX APP_ID SAMPLE.tif   (on a display)
set -u
prefix=$(cd "$1" && pwd)
app=$2
sample=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
command -v xdotool >/dev/null 2>&1 || { echo "FAIL: xdotool is not installed (scripts/install-deps)" >&2; exit 1; }

work=$(mktemp -d)
pids=""
trap 'for p in $pids; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
cp "$sample" "$work/first scan.tif"
cp "$sample" "$work/-add"
cp "$sample" "$work/third.TIF"

# Waits for a shown window titled Pagewright on the test's own display;
# prints the ids of all such windows.
pagewright_windows() {
    timeout 30 xdotool search --sync --onlyvisible --name '^Pagewright$' >/dev/null 2>&1
    sleep 3  # a second window, wrongly shown, would come up by now
    xdotool search --onlyvisible --name '^Pagewright$' 2>/dev/null
}

# The Exec line, with %F expanded as the desktop does: one argument per file.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$app.desktop")
case $exec_line in
    *' %F') eval "set -- ${exec_line% %F}" ;;
    *) echo "FAIL: the Exec line does not end in %F: $exec_line" >&2; exit 1 ;;
esac
set -- "$@" "$work/first scan.tif" "$work/-add" "$work/third.TIF"
cd "$work" && "$@" &
pid=$!
pids="$pids $pid"
count=$(pagewright_windows | sort -u | wc -l)
[ "$count" -eq 1 ] || fail "$count windows came up instead of one"

# The launcher replaced itself by the window program of the program folder.
[ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$prefix/lib/pagewright/pagewright")" ] ||
    fail "the running program is $(readlink -f "/proc/$pid/exe")"
got=$(tr '\0' '\n' <"/proc/$pid/cmdline" | tail -n +2)
want=$(printf '%s\n' -add "$work/first scan.tif" -add "$work/-add" -add "$work/third.TIF")
[ "$got" = "$want" ] || fail "the window was started with: $got"

# The window stays up until it is closed.
kill -0 "$pid" 2>/dev/null || fail "the window program ended by itself"
kill "$pid"
wait "$pid" 2>/dev/null

# The bin/ link: -copyright shows the notice box and nothing else.
"$prefix/bin/pagewright" -copyright &
pid=$!
pids="$pids $pid"
count=$(pagewright_windows | sort -u | wc -l)
[ "$count" -eq 1 ] || fail "-copyright showed $count windows instead of the notice"

[ "$failures" -eq 0 ] && echo "open with: all checks passed"
exit "$failures"
