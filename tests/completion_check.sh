#!/usr/bin/env bash
# Installs the build tree BUILD, loads its completion scripts into bash with the distribution's
# bash-completion and checks the replies for a few command lines.
set -uo pipefail
build=$1
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || { echo "bash-completion is not installed: completion not checked"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
cd "$work" || exit 1
# shellcheck source=/dev/null
source "$framework"
dir=$prefix/share/bash-completion/completions
for command in kill tyvar tezzo free; do
  # shellcheck source=/dev/null
  source "$dir/$command" || { echo "FAIL: $dir/$command"; exit 1; }
done
status=0

# The replies for a command line (completing its last word), sorted, one a line.
replies()
{
  local line=$1
  COMP_LINE=$line COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  local function
  function=$(complete -p "${COMP_WORDS[0]##*/}" | sed 's/.*-F \([^ ]*\) .*/\1/')
  COMPREPLY=()
  "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]:-}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect()
{
  local line=$1 expected=$2 got
  got=$(replies "$line")
  if [ "$got" != "$expected" ]; then
    printf 'FAIL: "%s"\n  expected: %s\n  got:      %s\n' "$line" "${expected//$'\n'/ }" "${got//$'\n'/ }"
    status=1
  fi
}

# Holds when the replies include (or, with !, lack) the word.
includes()
{
  local line=$1 word=$2 negate=0
  [[ $word == '!'* ]] && negate=1 word=${word#!}
  if replies "$line" | grep -qxF -- "$word"; [ $? -ne $negate ]; then
    printf 'FAIL: "%s" should %s "%s"\n' "$line" "$( ((negate)) && echo lack || echo offer)" "$word"
    status=1
  fi
}

# Starts sleep under the name $1 (a process of the test's own) and waits until the kernel shows
# that name; sets started to its ID.
children=()
start_named()
{
  ln -s /bin/sleep "$work/$1"
  "$work/$1" 60 &
  started=$!
  children+=("$started")
  for _ in $(seq 100); do [ "$(cat "/proc/$started/comm" 2>/dev/null)" = "${1:0:15}" ] && break; sleep 0.05; done
}
trap 'kill "${children[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# A process with a name that no other has, and one whose name is shell code.
name=kcomp$$-x evil='k$(touch ran)'
start_named "$name"
child=$started
start_named "$evil"

expect "kill -s HU" "HUP"
expect "kill -n SIGHU" "SIGHUP"
expect "kill -TER" "-TERM"
expect "kill -SIGKIL" "-SIGKILL"
expect "kill -l US" $'USR1\nUSR2'
expect "kill -l 9 SIGUS" $'SIGUSR1\nSIGUSR2'
includes "kill -l RTMAX-" "RTMAX-1"
includes "kill " "$child"
includes "kill 12 " "$child"
includes "kill -" "-L"

expect "tyvar -KI" "-KILL"
expect "tezzo -KI" ""
includes "tyvar -" "-v"
includes "tyvar -v -" "-c"
includes "tyvar -v -" "!-KILL"
expect "tezzo +1" $'+1\n+10\n+11\n+12\n+13\n+14\n+15\n+16\n+17\n+18\n+19'
includes "tezzo -" "-20"
includes "tezzo -" "-v"
expect "tyvar -c $name" "$name"
expect "tyvar -vc $name" "$name"
expect "tyvar -p $child" "$child"
includes "tyvar -u ro" "root"
includes "tyvar -u " "!$name"
includes "tyvar -t " "?"
includes "tyvar -t " "!root"
includes "tyvar -t " "!$child"
includes "tyvar -ct " "$child"
includes "tyvar " "$name"
includes "tyvar " "$child"
includes "tyvar " "root"
includes "tyvar " "?"
includes "tezzo +4 $name" "$name"
expect "free -" $'-V\n-b\n-c\n-g\n-h\n-k\n-l\n-m\n-o\n-s\n-t'
expect "free -s " ""

# A name is data, never shell code to run.
includes "tyvar k" "$evil"
[ ! -e "$work/ran" ] || { echo "FAIL: completing ran a process name as code"; status=1; }

[ "$status" -eq 0 ] && echo "completion replies checked"
exit "$status"
