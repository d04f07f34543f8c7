#!/usr/bin/env bash
# Keeps the manual page and the README from drifting apart from the program and
# from each other: every environment variable the program reads is explained in
# both, the manual explains none that it does not read, and every desktop the
# README supports is named in the manual.
#   manpage_test.sh SOURCE-DIR
set -euo pipefail
source_dir=${1:?usage: manpage_test.sh SOURCE-DIR}
manual=$source_dir/data/dwellmark.1.in
readme=$source_dir/README.md
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# What the program reads, by the calls it reads the environment with.
read_by_program=$(grep -rhoE '(getenv|environment|qgetenv|qEnvironmentVariable[A-Za-z]*)\("[A-Z_]+"\)' \
    "$source_dir/src" | grep -oE '"[A-Z_]+"' | tr -d '"' | sort -u)
[ -n "$read_by_program" ] || fail "no environment variable found in the sources: has the way they are read changed?"

# The entries of the manual's ENVIRONMENT section (".TP" then ".B NAME").
manual_entries=$(awk '/^\.SH /{section=$2} section=="ENVIRONMENT" && previous==".TP" && /^\.B /{print $2} {previous=$0}' \
    "$manual" | sort -u)

for name in $read_by_program; do
    grep -qx "$name" <<<"$manual_entries" || fail "the manual's ENVIRONMENT does not explain $name"
    grep -qE "\`[\$]?$name\`" "$readme" || fail "the README does not mention \`$name\`"
done
for name in $manual_entries; do
    grep -qx "$name" <<<"$read_by_program" || fail "the manual explains $name, which the program does not read"
done

# The desktops of the README's table: "| Desktop | How ... |" rows up to the first blank line.
desktops=$(awk '/^\| Desktop \|/{table=1; next} table && /^$/{exit} table && /^\| [^-]/{print}' "$readme" |
    cut -d'|' -f2 | cut -d',' -f1 | sed 's/^ *//; s/ *$//')
[ -n "$desktops" ] || fail "the README's table of supported desktops was not found"
while IFS= read -r desktop; do
    [ -n "$desktop" ] || continue
    # The manual names "other wlroots compositors" as "other wlroots compositors" too.
    grep -qiF "$desktop" "$manual" || fail "the manual does not name the desktop \"$desktop\""
done <<<"$desktops"

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "the manual and the README agree on $(wc -w <<<"$read_by_program") variables and $(wc -l <<<"$desktops") desktops"
