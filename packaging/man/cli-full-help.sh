#!/bin/sh
# Prints the whole command-line help for help2man: the tool's own --help
# followed by every command's --help, because each command keeps its options
# to itself. The command list is read from the tool, so a new command or
# option reaches the manual page without an edit here.
#   cli-full-help.sh TOVASEL_CLI --help | --version
set -eu
cli=$1
shift
if [ "${1:-}" = --version ]; then
  exec "$cli" --version
fi
# The first line is the one-line summary the page's NAME already gives.
"$cli" --help | sed -e 1d -e "s/^Subcommands:/Commands:/"
commands=$("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p')
for command in $commands; do
  printf '\n%s command:\n' "$command"
  # The lines before the usage line repeat the summary above; the usage line
  # and the table of arguments and options follow under the command's name.
  "$cli" "$command" --help | sed -e '1,/^Usage:/{/^Usage:/!d;}' -e '/^Positionals:/d' \
    -e '/^Options:/d' -e '/^  -h,--help /d' -e '/^$/d' -e 's/^Usage: *\(.*\)/  \1\n/'
done
