#!/bin/sh
# The installed programs started through their bin/ links from an unrelated
# working folder: they find the tools in their program folder and read the
# settings file where the program folder rule puts it.
#
# ProgramsTest.sh PREFIX SAMPLE.tif
set -u
prefix=$(cd "$1" && pwd)
sample=$2
folder=$prefix/lib/pagewright
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

work=$(mktemp -d)
chmod 755 "$work"
trap 'chmod u+w "$folder"; rm -f "$folder/Pagewright.ini"; rm -rf "$work"' EXIT
cp "$sample" "$work/scan.tif"
cd "$work" || exit 1

for link in pagewright pagewright-batch; do
    [ -L "$prefix/bin/$link" ] || fail "bin/$link is not a link"
    [ "$(readlink -f "$prefix/bin/$link")" = "$(readlink -f "$folder/$link")" ] ||
        fail "bin/$link does not lead to the program folder"
done
for tool in tiffinfo tiffcp tiffsplit; do
    [ -x "$folder/$tool" ] || fail "no $tool in the program folder"
done

# Page counting is done in the program, the rest by the tools.
out=$("$prefix/bin/pagewright-batch" count scan.tif)
[ "$out" = "$(printf '3\tscan.tif')" ] || fail "count said '$out'"
"$prefix/bin/pagewright-batch" info scan.tif | grep -q "Compression Scheme: CCITT Group 4" ||
    fail "info did not show the tiffinfo report"
mkdir lzw
"$prefix/bin/pagewright-batch" compress --out lzw --method lzw scan.tif >/dev/null ||
    fail "compress through tiffcp failed"
tiffinfo lzw/scan.tif 2>/dev/null | grep -q "Compression Scheme: LZW" || fail "compress did not write LZW"

# split names its folder after the "Name" setting: the folder tells which
# settings file was read.
split_named() {
    rm -rf "$work/split"
    mkdir -m 777 "$work/split"
    "$@" "$prefix/bin/pagewright-batch" split --out "$work/split" "$work/scan.tif" >/dev/null ||
        fail "split failed"
    ls "$work/split" 2>/dev/null
}
write_settings() {
    mkdir -p "$(dirname "$1")" && printf '[Pagewright]\nName=%s\n' "$2" >"$1"
}
config=$work/config
export XDG_CONFIG_HOME=$config HOME=$work

# A writable program folder keeps the settings beside the programs.
write_settings "$folder/Pagewright.ini" beside
write_settings "$config/pagewright/Pagewright.ini" user
named=$(split_named env)
[ "$named" = beside_1 ] || fail "with a writable program folder, split made '$named'"
[ "$(ls "$work/split/beside_1" | wc -l)" -eq 3 ] || fail "tiffsplit did not write three pages"

# A program folder the user cannot write to (as installed under /usr): the
# settings come from the user's configuration folder.
if [ "$(id -u)" -eq 0 ]; then
    chmod -R a+rwX "$work"
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups --"
else
    chmod a-w "$folder"
    as_user=env
fi
named=$(split_named $as_user)
[ "$named" = user_1 ] || fail "with a read-only program folder, split made '$named'"

[ "$failures" -eq 0 ] && echo "installed programs: all checks passed"
exit "$failures"
