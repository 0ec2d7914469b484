# bash completion for orvex-cli.
# The options, and which of them take an argument, are read from the
# program's own `--help` (one option a line, "  --flag ARG   text"), as are
# the words --format takes, and the filter keys from its `--list-filters`,
# each time, so the completion always follows the orvex-cli being completed.

# "FLAG ARG" for each line of --help that starts with an option, ARG (one
# word after a single space) empty for a switch.
_orvex_cli_options()
{
    "$1" --help 2>/dev/null |
        sed -n 's/^ *\(--*[a-z][-a-z0-9]*\)\( \([A-Za-z][^ ]*\)\)\{0,1\} .*/\1 \3/p'
}

# The words --format takes, as its line of --help lists them after the
# colon: "bmp, png, tif or pgm".
_orvex_cli_formats()
{
    "$1" --help 2>/dev/null |
        sed -n 's/^ *--format .*: \(.*\)$/\1/p' | sed 's/,\| or / /g'
}

# Completes the word being typed among the lines of $1, a list of values
# that may hold spaces: as typed inside quotes, else with the spaces escaped.
_orvex_cli_values()
{
    local quote= typed=$cur
    if [[ $typed == [\"\']* ]]; then
        quote=${typed:0:1}
        typed=${typed:1}
    else
        typed=${typed//\\/}
    fi
    local IFS=$'\n' value
    COMPREPLY=()
    for value in $1; do
        [[ $value == "$typed"* ]] || continue
        if [[ $quote ]]; then
            COMPREPLY+=("$value")
        else
            COMPREPLY+=("$(printf '%q' "$value")")
        fi
    done
}

_orvex_cli()
{
    local cur prev words cword
    _init_completion -s -n \"\' || return

    local program=${words[0]} options argument
    options=$(_orvex_cli_options "$program")
    [[ $options ]] || { _filedir; return; }

    # After "--" every word is an input.
    local i
    for ((i = 1; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && { _filedir; return; }
    done

    case $prev in
        --filter)
            _orvex_cli_values "$("$program" --list-filters 2>/dev/null | cut -f1)"
            return
            ;;
        --palette)
            COMPREPLY=($(compgen -W 'grey rainbow heat metal binary' -- "$cur"))
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W "$(_orvex_cli_formats "$program")" -- "$cur"))
            return
            ;;
        --table-format)
            COMPREPLY=($(compgen -W 'csv tsv jsonl' -- "$cur"))
            return
            ;;
        --pages | --page)
            COMPREPLY=($(compgen -W 'all' -- "$cur"))
            return
            ;;
        --project)
            COMPREPLY=($(compgen -W 'max min mean' -- "$cur"))
            return
            ;;
        --rotate)
            COMPREPLY=($(compgen -W '90 180 270' -- "$cur"))
            return
            ;;
    esac
    argument=$(awk -v flag="$prev" '$1 == flag { print $2 }' <<<"$options")
    case $argument in
        '') ;;
        FILE | LIST | LIST\|FOLDER | OUTPUT | *.pal | *.png) _filedir; return ;;
        *) return ;;  # a number or a list of numbers
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(cut -d' ' -f1 <<<"$options")" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _orvex_cli orvex-cli
