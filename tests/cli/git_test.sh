#!/usr/bin/env bash
# libcompare-cli with git, as the README sets it up: --list as the textconv of
# *.1 files, so that `git diff` shows a changed designation as one changed
# record line; and libcompare-cli as difftool's command, exiting 1 for two
# libraries that differ.
#   git_test.sh LIBCOMPARE_CLI EXAMPLE_LIBRARY
# EXAMPLE_LIBRARY: a long-layout library holding "Schütz" with the
# designation "Leistungsschütz 3-polig" (examples/schaltplan-alt.1).
set -euo pipefail
cli=$(realpath "$1")
example=$(realpath "$2")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Nothing of the machine's git set-up, nor of a repository around us.
export HOME=$dir GIT_CONFIG_NOSYSTEM=1 GIT_CONFIG_GLOBAL=$dir/gitconfig LC_ALL=C.UTF-8
unset GIT_DIR GIT_WORK_TREE GIT_INDEX_FILE GIT_EXTERNAL_DIFF GIT_DIFF_OPTS GIT_PAGER PAGER
export GIT_PAGER=cat
failed=0
check() {  # check WHAT EXPECTED GOT
    if [[ $3 == "$2" ]]; then
        echo "ok: $1"
    else
        printf 'FAILED: %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
        failed=1
    fi
}

git init -q "$dir/repo"
cd "$dir/repo"
git config user.name "Test"
git config user.email "test@example.invalid"
printf '*.1 diff=torvex\n' > .gitattributes
git config diff.torvex.textconv "'$cli' --list"
cp "$example" schaltplan.1
git add .gitattributes schaltplan.1
git commit -q -m "Schaltplan"

# One designation changed, byte for byte in its record: 3-polig becomes 4-polig.
python3 - schaltplan.1 <<'PY'
import sys
path = sys.argv[1]
data = open(path, "rb").read()
old = "Sch\u00fctz\0Leistungssch\u00fctz 3-polig\0".encode("cp1252")
assert data.count(old) == 1, "the example holds no such record"
open(path, "wb").write(data.replace(old, old.replace(b"3-polig", b"4-polig")))
PY
git commit -q -a -m "Schütz 4-polig"

changes=$(git diff HEAD~1 -- schaltplan.1 | grep -E '^[-+]' | grep -vE '^(---|\+\+\+) ' || true)
check "git diff: one record line out, one in" \
    "$(printf -- '-Schütz\tLeistungsschütz 3-polig\tSchaltgeräte\tHauptstrom\n+Schütz\tLeistungsschütz 4-polig\tSchaltgeräte\tHauptstrom')" \
    "$changes"
check "git show --textconv: the old library, a record a line" \
    "$(printf '10 lines\nSchütz\tLeistungsschütz 3-polig\tSchaltgeräte\tHauptstrom')" \
    "$(git show --textconv HEAD~1:schaltplan.1 2>&1 | { n=0; while IFS= read -r l; do
        n=$((n + 1)); [[ $l == Schütz* ]] && found=$l; done; printf '%s lines\n%s' "$n" "${found-}"; })"

# difftool runs libcompare-cli on the two versions; the tool says 1, they
# differ. git difftool itself ends with 0 whatever the tool said; with
# --trust-exit-code it fails when the tool does not exit 0 (git 2.39 then
# says "external diff died" and exits 128).
# The wrapper notes the tool's own exit status.
cat > "$dir/noting-cli" <<WRAPPER
#!/bin/sh
'$cli' "\$@"
echo \$? >> '$dir/statuses'
WRAPPER
chmod +x "$dir/noting-cli"
status=0
git difftool --no-prompt --extcmd "$dir/noting-cli" HEAD~1 HEAD -- schaltplan.1 \
    > "$dir/report.txt" || status=$?
check "git difftool --extcmd libcompare-cli: the tool exits 1" 1 "$(cat "$dir/statuses")"
check "git difftool itself exits 0" 0 "$status"
check "the report names the change" "    Bezeichnung: „Leistungsschütz 3-polig“ → „Leistungsschütz 4-polig“" \
    "$(grep 'Bezeichnung:' "$dir/report.txt")"
status=0
git difftool --no-prompt --trust-exit-code --extcmd "$cli" HEAD~1 HEAD -- schaltplan.1 \
    > /dev/null 2>&1 || status=$?
check "with --trust-exit-code git difftool fails" fails "$( ((status != 0)) && echo fails || echo "exits $status")"
status=0
git difftool --no-prompt --trust-exit-code --extcmd "$cli" HEAD HEAD -- schaltplan.1 || status=$?
check "no change: nothing run, exit 0" 0 "$status"

# A tool configured as the README configures the dialog, with "$LOCAL" "$REMOTE".
rm "$dir/statuses"
git config difftool.libcompare.cmd "'$dir/noting-cli' \"\$LOCAL\" \"\$REMOTE\""
git difftool --no-prompt --tool=libcompare HEAD~1 HEAD -- schaltplan.1 > /dev/null
check "git difftool --tool=libcompare with \$LOCAL \$REMOTE: the tool exits 1" 1 \
    "$(cat "$dir/statuses")"
exit $failed
