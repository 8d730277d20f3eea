#!/bin/sh
# Writes the COMMANDS section of quillon-cli(1) as a help2man include, from the program's own
# help: the commands it lists, then each command's usage, description, arguments and options.
#   cli-commands.sh QUILLON_CLI > commands.h2m
set -eu
cli=$1

# The names under "Subcommands:" in the program's help.
commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } /^$/ { on = 0 }')
[ -n "$commands" ] || { echo "cli-commands: $cli lists no commands" >&2; exit 1; }

echo "[COMMANDS]"
for command in $commands; do
  "$cli" "$command" --help | awk '
    function roff(text) {
      gsub(/\\/, "\\e", text)
      gsub(/-/, "\\-", text)
      sub(/^[.'\'']/, "\\\\\\&&", text)
      return text
    }
    # The entry seen so far: its names and its description, which may come on the next line.
    function flush() {
      if (name != "" && name !~ /^-h,--help/) printf ".TP\n.B %s\n%s\n", roff(name), roff(text)
      name = ""; text = ""
    }
    NR == 1 { summary = $0; next }
    /^Usage: / { sub(/^Usage: /, ""); printf ".SS \"%s\"\n%s\n", roff($0), roff(summary); next }
    /^(Positionals|Options):$/ { flush(); next }
    /^   +[^ ]/ { sub(/^ +/, ""); text = (text == "" ? $0 : text " " $0); next }
    /^  [^ ]/ {
      flush()
      line = substr($0, 3)
      split_at = match(line, /  +/)
      if (split_at) { name = substr(line, 1, split_at - 1); text = substr(line, split_at + RLENGTH) }
      else { name = line; text = "" }
      next
    }
    /^$/ { flush() }
    END { flush() }
  '
done
