#!/usr/bin/env bash
# The manual pages made at build time: each names its program, holds every
# option its --help lists (so it cannot lag behind the program) and the
# hand-written sections.
# Usage: check-manpages.sh PAGE_DIR PROGRAM...
set -euo pipefail
pages=$1; shift
status=0
fail() { echo "FAIL: $*"; status=1; }

for program in "$@"; do
  name=$(basename "$program")
  page=$pages/$name.1.gz
  [[ -s $page ]] || { fail "$page missing or empty"; continue; }
  text=$(zcat "$page")
  grep -q "^\.TH \"\?${name^^}\"\? \"\?1\"\?" <<<"$text" || fail "$name: no .TH header for section 1"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS" "SEE ALSO"; do
    grep -q "^\.SH \"\?$section\"\?\$" <<<"$text" || fail "$name: no $section section"
  done
  # Every option line of --help, written as roff writes dashes.
  while read -r flag; do
    grep -qF -- "${flag//-/\\-}" <<<"$text" || fail "$name: $flag missing"
  done < <(ASAN_OPTIONS=detect_leaks=0 "$program" --help | sed -n 's/^  \(--*[a-zA-Z][-a-z0-9]*\).*/\1/p')
done
if command -v man >/dev/null; then
  for program in "$@"; do
    name=$(basename "$program")
    man --warnings -l "$pages/$name.1.gz" 2>&1 >/dev/null | grep . && fail "$name: roff warnings"
  done
fi
exit $status
