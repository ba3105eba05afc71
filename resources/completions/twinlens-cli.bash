# bash completion for twinlens-cli: its options, the compare modes and output
# formats, and folders (files after the options that name an output file). Needs nothing of the
# bash-completion package, which loads it on demand from its completions
# folder.

_twinlens_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    local options="--reference --compare --masks --exclude --min-size-mb --max-groups
        --min-group-size --no-follow --one-file-system --no-files --files-csv --folders --folder-contents --folders-csv --format --json
        --serial --quiet --help --version"

    # --name=value: complete the value of that option.
    if [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
    fi

    local IFS=$'\n'
    case $prev in
        --compare)
            COMPREPLY=($(compgen -W $'name\nsize\nname-size\ncontent' -- "$cur"))
            return ;;
        --format)
            COMPREPLY=($(compgen -W $'csv\njson' -- "$cur"))
            return ;;
        --files-csv|--folders-csv|--json)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
        --reference)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$cur"))
            return ;;
        --masks|--exclude|--min-size-mb|--max-groups|--min-group-size)
            COMPREPLY=()
            return ;;
    esac

    # After "--" every word is a folder.
    local i
    for ((i = 1; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && break
    done
    if [[ $cur == -* && $i -eq $COMP_CWORD ]]; then
        IFS=$' \t\n' COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -d -- "$cur"))
}
complete -F _twinlens_cli twinlens-cli
