#!/bin/sh
# The installed desktop files pass the checkers the desktops use: the
# desktop entry, the AppStream metadata, the icon theme pictures and the
# manual pages.
#
# DesktopFilesTest.sh PREFIX APP_ID
set -u
prefix=$(cd "$1" && pwd)
app=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null 2>&1 || { fail "$1 is not installed (scripts/install-deps)"; exit 1; }; }
need desktop-file-validate
need appstreamcli
need groff
need file

entry=$prefix/share/applications/$app.desktop
# Hints and warnings count as failures too.
out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate failed"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'MimeType=image/tiff;' "$entry" || fail "the entry does not claim image/tiff"
grep -qx "Icon=$app" "$entry" || fail "the entry does not name the icon $app"
# The Exec line is read as the desktop reads it: its quoting is that of a
# shell's double quotes.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
case $exec_line in
    *' %F') eval "set -- ${exec_line% %F}" ;;
    *) fail "the Exec line does not end in %F: $exec_line"; set -- ;;
esac
[ $# -eq 1 ] && [ "$1" = "$prefix/lib/pagewright/pagewright-open" ] && [ -x "$1" ] ||
    fail "the Exec line does not name the installed launcher: $exec_line"
grep -qxF "TryExec=$prefix/lib/pagewright/pagewright-open" "$entry" || fail "TryExec does not name the launcher"

metainfo=$prefix/share/metainfo/$app.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
echo "$out" | grep -q '^[EW]:' && fail "appstreamcli reports: $out"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not name the desktop entry"

for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/$app.png
    file -b "$icon" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
        fail "icon $size: $(file -b "$icon")"
done
file -b "$prefix/share/icons/hicolor/scalable/apps/$app.svg" | grep -q '^SVG' || fail "no scalable icon"

for page in pagewright pagewright-batch; do
    man=$prefix/share/man/man1/$page.1.gz
    [ -f "$man" ] || { fail "no manual page $page(1)"; continue; }
    warnings=$(gzip -dc "$man" | groff -ww -man -Tutf8 -z 2>&1)
    [ -z "$warnings" ] || fail "$page(1): $warnings"
done

# The manual page of pagewright-batch names every command and every option
# that the program's own help names.
manual=$(gzip -dc "$prefix/share/man/man1/pagewright-batch.1.gz" | groff -man -Tutf8 -P-cbou 2>/dev/null)
batch=$prefix/bin/pagewright-batch
commands=$("$batch" --help | sed -n 's/^  pagewright-batch \([a-z]*\) .*/\1/p')
[ -n "$commands" ] || fail "no commands in the help of pagewright-batch"
for command in $commands; do
    echo "$manual" | grep -q "^       $command" || fail "pagewright-batch(1) lacks the command $command"
    for option in $("$batch" "$command" --help | head -n 1 | grep -o -- '--[a-z-]*'); do
        echo "$manual" | grep -q -- "$option" || fail "pagewright-batch(1) lacks $option of $command"
    done
done
for option in --trace --help --use-compression --no-use-compression; do
    echo "$manual" | grep -q -- "$option" || fail "pagewright-batch(1) lacks $option"
done

[ "$failures" -eq 0 ] && echo "desktop files: all checks passed"
exit "$failures"
