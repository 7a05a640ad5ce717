# Completion for bash of kill, tyvar, tezzo and free: signal names as the installed programs
# list them, priorities, option letters, and the terminals, users, process IDs and command
# names of the running system. Installed once under each command's name.

# The programs of the tree this file was installed with, else those found on the path.
_kelpa_bin=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../../bin" 2>/dev/null && pwd)
[[ -x $_kelpa_bin/tyvar ]] || _kelpa_bin=$(dirname "$(type -P tyvar 2>/dev/null)" 2>/dev/null)

# Sets COMPREPLY to the lines of $1 that begin with $cur. Not through compgen -W, which would
# expand the words: anyone can name a process $(...).
_kelpa_reply()
{
    COMPREPLY=()
    local word
    while IFS= read -r word; do
        [[ -n $word && $word == "$cur"* ]] && COMPREPLY+=("$word")
    done <<<"$1"
}

# The signal names after prefix $1, written with SIG where the word begun has it.
_kelpa_signals()
{
    local prefix=$1 sig=
    [[ ${cur#"$prefix"} == SIG* ]] && sig=SIG
    local name
    for name in $("$_kelpa_bin/tyvar" -l 2>/dev/null); do
        printf '%s\n' "$prefix$sig$name"
    done
}

_kelpa_pids()
{
    local dir
    for dir in /proc/[1-9]*; do
        printf '%s\n' "${dir#/proc/}"
    done
}

_kelpa_terminals()
{
    printf '%s\n' '?'
    local dev
    for dev in /dev/pts/[0-9]* /dev/tty[0-9]* /dev/ttyS[0-9]* /dev/console; do
        [[ -c $dev ]] && printf '%s\n' "${dev#/dev/}"
    done
}

_kelpa_commands()
{
    local comm
    for comm in /proc/[1-9]*/comm; do
        [[ -r $comm ]] && printf '%s\n' "$(<"$comm")"
    done 2>/dev/null | sort -u
}

_kelpa_kill()
{
    local cur prev words cword
    _init_completion || return
    if ((cword == 1)) && [[ $cur == -* ]]; then
        _kelpa_reply "$(printf '%s\n' -s -n -l -L -V --version; _kelpa_signals -)"
    elif ((cword == 2)) && [[ $prev == -[sn] ]]; then
        _kelpa_reply "$(_kelpa_signals '')"
    elif ((cword >= 2)) && [[ ${words[1]} == -l ]]; then
        _kelpa_reply "$(_kelpa_signals '')"
    else
        _kelpa_reply "$(_kelpa_pids)"
    fi
}

_kelpa_select()
{
    local cur prev words cword
    _init_completion || return
    local letters=$'-f\n-i\n-v\n-w\n-n\n-t\n-u\n-p\n-c'
    # After a cluster that ends in its first criterion letter, that letter's data: only that
    # kind. (Every character after a criterion letter is data: -ct names the command t.)
    if ((cword > 1)) && [[ $prev =~ ^-[fivwn]*[tupc]$ ]]; then
        case ${prev: -1} in
        t) _kelpa_reply "$(_kelpa_terminals)" ;;
        u) _kelpa_reply "$(compgen -u)" ;;
        p) _kelpa_reply "$(_kelpa_pids)" ;;
        c) _kelpa_reply "$(_kelpa_commands)" ;;
        esac
        return
    fi
    if ((cword == 1)) && [[ ${words[0]##*/} == tezzo ]] && [[ $cur == [-+]* ]]; then
        _kelpa_reply "$(printf '+%d\n' {0..19}; printf -- '-%d\n' {1..20}; printf '%s\n' "$letters" -l -L -V)"
        return
    fi
    if ((cword == 1)) && [[ $cur == -* ]]; then
        _kelpa_reply "$(printf '%s\n' "$letters" -l -L -V --version; _kelpa_signals -)"
        return
    fi
    if [[ $cur == -* ]]; then
        _kelpa_reply "$letters"
        return
    fi
    _kelpa_reply "$(_kelpa_terminals; compgen -u; _kelpa_pids; _kelpa_commands)"
}

_kelpa_free()
{
    local cur prev words cword
    _init_completion || return
    [[ $prev == -[sc] ]] && return
    _kelpa_reply $'-b\n-k\n-m\n-g\n-h\n-l\n-o\n-t\n-s\n-c\n-V'
}

complete -F _kelpa_kill kill
complete -F _kelpa_select tyvar tezzo
complete -F _kelpa_free free
