#!/usr/bin/env bash
# Runs the bash completion of quillon-cli as bash would, and fails when a command, or an option
# that the built program's help lists (its own or a command's), is not offered.
#   completion-test.sh QUILLON_CLI COMPLETION_SCRIPT
set -uo pipefail
cli=$1
script=$2
helpers=/usr/share/bash-completion/bash_completion
if [[ ! -r $helpers ]]; then
  echo "completion test skipped: bash-completion is not installed"
  exit 77
fi
# shellcheck source=/dev/null
source "$helpers"
# shellcheck source=/dev/null
source "$script"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Completes a command line whose last word is the one under the cursor; prints the candidates.
candidates() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _quillon_cli quillon-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}"
}

# The first column of one block ("Options", "Subcommands") of a help text on standard input.
block() {
  awk -v title="$1:" '$0 == title { on = 1; next } on && /^  [^ ]/ { print $1 } /^$/ { on = 0 }'
}

# The name an option is completed by: its long name, or its short one when it has none.
completed_name() {
  local name names
  IFS=, read -ra names <<<"$1"
  for name in "${names[@]}"; do [[ $name == --* ]] && { echo "$name"; return; }; done
  echo "${names[0]}"
}

# Every option of a help text is offered by the completion of the command line given.
expect_options() {
  local help=$1 what=$2 entry name offered
  shift 2
  offered=$(candidates "$@")
  while read -r entry; do
    name=$(completed_name "$entry")
    grep -qxF -- "$name" <<<"$offered" || fail "$what: $name is not completed"
  done < <(block Options <<<"$help")
}

help=$("$cli" --help) || { echo "FAIL: $cli --help"; exit 1; }
commands=$(block Subcommands <<<"$help")
[[ -n $commands ]] || { echo "FAIL: $cli --help lists no commands"; exit 1; }

offered=$(candidates quillon-cli "")
for command in $commands; do
  grep -qxF -- "$command" <<<"$offered" || fail "the command $command is not completed"
done
expect_options "$help" "quillon-cli" quillon-cli -
for command in $commands; do
  command_help=$("$cli" "$command" --help) || { fail "$cli $command --help"; continue; }
  expect_options "$command_help" "quillon-cli $command" quillon-cli "$command" -
  # Global options and their values come before the command.
  expect_options "$command_help" "quillon-cli --adapter eth0 $command" \
    quillon-cli --demo --adapter eth0 "$command" -
done

# Values that the completion knows.
[[ $(candidates quillon-cli set 1358954538 --ipv6 "" | sort | tr '\n' ' ') == \
  "automatic dhcpv6 manual stateless " ]] || fail "set --ipv6 does not offer its four modes"
[[ $(candidates quillon-cli set 1358954538 --http "") == off ]] || fail "set --http does not offer off"

if ((failures > 0)); then
  echo "$failures failures: update dist/bash-completion/quillon-cli"
  exit 1
fi
echo "completion covers $(wc -w <<<"$commands") commands and their options"
