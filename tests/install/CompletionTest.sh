#!/bin/bash
# The bash completion of pagewright-batch, driven as bash drives it: the
# words of the line go into COMP_WORDS and the function named by complete -p
# fills COMPREPLY. What it offers is compared with the program's own help.
#
# CompletionTest.sh COMPLETION_FILE PAGEWRIGHT_BATCH
set -u
completion=$1
batch=$2
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# shellcheck disable=SC1090
source "$completion"
completion=$(complete -p pagewright-batch 2>/dev/null) || { echo "FAIL: no completion for pagewright-batch" >&2; exit 1; }
function=$(sed -n 's/.*-F \([^ ]*\) .*/\1/p' <<<"$completion")

# Completes the line (the last word is the one being completed); prints the
# offers sorted, one a line.
offers() {
    COMP_WORDS=(pagewright-batch "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$function" pagewright-batch "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
    local want=$1
    shift
    local got
    got=$(offers "$@")
    [[ $got == "$want" ]] || fail "'$*': offered [$(tr '\n' ' ' <<<"$got")] instead of [$(tr '\n' ' ' <<<"$want")]"
}
lines() { printf '%s\n' "$@" | sort; }

# The commands are those of the program's usage.
commands=$("$batch" --help | sed -n 's/^  pagewright-batch \([a-z]*\) .*/\1/p')
expect "$(lines $commands --help)" ""
expect "$(lines compress count)" c

# Each command's options are those of its help, plus the common ones.
for command in $commands; do
    options=$("$batch" "$command" --help | head -n 1 | grep -o -- '--[a-z-]*' | sort -u)
    [[ $command == merge ]] && options+=$'\n--no-use-compression'
    expect "$(lines $options --trace --help --)" "$command" --
done
expect "--use-compression" merge --out x.tif --u

# The method names are the program's own.
methods=$("$batch" --help | sed -n 's/.*--method \([a-z0-9|]*\)\].*/\1/p' | tr '|' ' ')
[[ -n $methods ]] || fail "no method names in the help"
expect "$(lines $methods)" compress --method ""
expect "g3
g4" merge --method g
expect "" extract --pages ""

# Files: folders and TIFF files by extension, any letter case, odd names too.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out dir"
touch "$work/in/a.tif" "$work/in/B.TIFF" "$work/in/notes.txt" "$work/in/c.tiff.bak" "$work/in/with space.tif"
mkdir "$work/in/sub.tif"
cd "$work/in" || exit 1
expect "$(lines B.TIFF a.tif sub.tif 'with space.tif')" count ""
expect "$(lines B.TIFF a.tif sub.tif 'with space.tif')" compress --out x --method lzw ""
expect "with space.tif" info w
# After "--" a word with a leading dash is a file too.
touch -- "-dash.tif"
expect "-dash.tif" count -- -d
# The output folder of compress is a folder; that of merge a TIFF file.
cd "$work" || exit 1
expect "$(lines in 'out dir')" compress --out ""
touch "$work/merged.tif"
expect "$(lines in merged.tif 'out dir')" merge --out ""
# No offers after an unknown command.
expect "" frobnicate ""

[[ $failures -eq 0 ]] && echo "completion: all checks passed"
exit "$failures"
