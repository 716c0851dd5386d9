# bash completion for pagewright-batch                     -*- shell-script -*-

_pagewright_batch()
{
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()

    if ((COMP_CWORD == 1)); then
        COMPREPLY=($(compgen -W 'compress merge split extract info count --help' -- "$cur"))
        return
    fi

    local command=${COMP_WORDS[1]} options
    case $command in
        compress) options='--out --method --jobs --json' ;;
        merge) options='--out --method --use-compression --no-use-compression --engine --json' ;;
        split) options='--out --name --engine --jobs --json' ;;
        extract) options='--out --pages --jobs --json' ;;
        count) options='--jobs --json' ;;
        info) options='' ;;
        *) return ;;
    esac

    # After "--" every word is a file.
    local i ended=''
    for ((i = 2; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && ended=1
    done

    if [[ -z $ended ]]; then
        case $prev in
            --method)
                COMPREPLY=($(compgen -W 'none lzw zip packbits g3 g4' -- "$cur"))
                return
                ;;
            --out)
                compopt -o filenames 2>/dev/null
                if [[ $command == merge ]]; then
                    _pagewright_batch_tiffs
                else
                    _pagewright_batch_folders
                fi
                return
                ;;
            --engine)
                COMPREPLY=($(compgen -W 'builtin tools' -- "$cur"))
                return
                ;;
            --name | --pages | --jobs)
                return
                ;;
        esac
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$options --trace --help --" -- "$cur"))
            return
        fi
    fi
    compopt -o filenames 2>/dev/null
    _pagewright_batch_tiffs
}

# Folders; names may hold blanks.
_pagewright_batch_folders()
{
    local IFS=$'\n'
    COMPREPLY=($(compgen -d -- "$cur"))
}

# Folders and files ending in .tif or .tiff in any letter case.
_pagewright_batch_tiffs()
{
    local IFS=$'\n' name restore
    _pagewright_batch_folders
    restore=$(shopt -p nocasematch)
    shopt -s nocasematch
    for name in $(compgen -f -- "$cur"); do
        [[ ! -d $name && ($name == *.tif || $name == *.tiff) ]] && COMPREPLY+=("$name")
    done
    eval "$restore"
}

complete -F _pagewright_batch pagewright-batch
