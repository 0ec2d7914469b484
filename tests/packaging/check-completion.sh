#!/usr/bin/env bash
# The bash completion of orvex-cli as bash-completion loads it, called the
# way bash calls it after a Tab.
# Usage: check-completion.sh COMPLETION_FILE ORVEX_CLI
set -uo pipefail
completion=$(realpath "$1") program=$(realpath "$2")
source /usr/share/bash-completion/bash_completion
source "$completion"
export PATH=$(dirname "$program"):$PATH ASAN_OPTIONS=detect_leaks=0

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && touch clean.txt scan.bmp && mkdir done

status=0
# complete WORD...: the words of the line, the last one being typed.
complete_line() {
  COMP_WORDS=(orvex-cli "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _orvex_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
# expect WANTED WORD...: the completions of the line are WANTED, one a line.
expect() {
  local wanted=$1; shift
  local got; got=$(complete_line "$@")
  if [[ $got != "$(sort <<<"$wanted")" ]]; then
    printf 'FAIL: orvex-cli %s<Tab>\n  wanted: %s\n  got:    %s\n' "$*" "${wanted//$'\n'/|}" "${got//$'\n'/|}"
    status=1
  fi
}

# Options come from --help: every option it lists, and only those, complete.
options=$("$program" --help | sed -n 's/^  \(--[a-z][-a-z0-9]*\).*/\1/p')
expect "$(grep '^--fi' <<<"$options")" --fi
expect "--filter" --filt
expect "$(printf '%s\n' -o $options)" -

# Filter keys from --list-filters, inside quotes as typed, else escaped.
keys=$("$program" --list-filters | cut -f1)
expect "$keys" --filter '"'
expect "$(grep '^Lissage Gaussien 3x3' <<<"$keys")" --filter '"Lissage Gaussien 3x3'
expect "Laplacien 7x7 Contraste" --filter "'Laplacien 7x7 Contr"
expect 'Lissage\ Gaussien\ 5x5\ 1' --filter 'Lissage\ Gaussien\ 5'

# The five palettes, each one a name orvex-cli takes.
expect "$(printf '%s\n' grey rainbow heat metal binary)" --palette ''
expect "heat" --palette h
for name in $(complete_line --palette ''); do
  "$program" --uniform 4,4,9 --palette "$name" --info >/dev/null || { echo "FAIL: --palette $name refused"; status=1; }
done

# Files where a file is expected; nothing where a number is.
files=$'clean.txt\ndone\nscan.bmp'
expect "$files" ''
expect "$files" scan.bmp --recipe ''
expect "$files" scan.bmp -o ''
expect "clean.txt" scan.bmp --recipe c
expect "$files" --negative -- ''
expect "heat" --palette=h
expect "" --roi ''
expect "" --rotate 45
expect "" --shard ''
# Stacks: the words of --pages, --page and --project; --stack-from a list or folder.
expect "all" scan.bmp --pages ''
expect "all" scan.bmp --page a
expect "$(printf '%s\n' max min mean)" scan.bmp --project ''
expect "$files" --stack-from ''
expect "$(printf '%s\n' bmp png tif tiff pgm ppm pbm gif)" scan.bmp --format ''

exit $status
