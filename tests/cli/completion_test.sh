#!/usr/bin/env bash
# The bash completion of libcompare-cli, as bash calls it:
#   completion_test.sh COMPLETION_FILE
set -u
source "$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
mkdir "Schalt pläne" "Schaltpläne alt"
touch -- "meine bib.1" "meine andere bib.1" "-x.1" "notiz.txt" "Schalt pläne/neu 1.1"
failed=0
# expect "what" EXPECTED WORD... : completes the last word; EXPECTED is the
# offers, one a line, sorted.
expect() {
    local what=$1 expected=$2
    shift 2
    COMP_WORDS=(libcompare-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _libcompare_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort)
    if [[ $got == "$expected" ]]; then
        echo "ok: $what"
    else
        printf 'FAILED: %s\n  expected: %q\n  got:      %q\n' "$what" "$expected" "$got"
        failed=1
    fi
}
expect "a name with a blank stays whole" $'meine andere bib.1\nmeine bib.1' "me"
expect "a folder with a blank stays whole" $'Schalt pläne\nSchaltpläne alt' "Sch"
expect "inside a folder with a blank" "Schalt pläne/neu 1.1" "Schalt pläne/"
expect "only libraries and folders" $'-x.1\nSchalt pläne\nSchaltpläne alt\nmeine andere bib.1\nmeine bib.1' ""
expect "options" $'--\n--format\n--help\n--ignore-blanks\n--ignore-case\n--ignore-classifications\n--list\n--output\n--take\n--version' "--"
expect "the comparison options" $'--ignore-blanks\n--ignore-case\n--ignore-classifications' "--ig"
expect "after --list, libraries" $'-x.1\nSchalt pläne\nSchaltpläne alt\nmeine andere bib.1\nmeine bib.1' "--list" ""
expect "after -- only files" "-x.1" "--" "-"
expect "after -- and a file, files" "-x.1" "--" "meine bib.1" "-"
expect "the formats" $'csv\ncsv-excel' "--format" "cs"
expect "html among the formats" "html" "--format" "h"
expect "after --, --format is a file's name" "" "--" "--format" "cs"
expect "the kinds of --take" $'added\nchanged\nremoved' "--take" ""
expect "a further kind after a comma" $'changed,added\nchanged,removed' "--take" "changed,"
expect "a kind begun after a comma" "removed,added" "--take" "removed,a"
expect "after --output, libraries" $'-x.1\nSchalt pläne\nSchaltpläne alt\nmeine andere bib.1\nmeine bib.1' "--output" ""
exit $failed
