#!/usr/bin/env bash
# Renders the built manual pages as man(1) would, with groff's warnings on,
# and checks that tovasel-cli(1) holds every command and option the tool's
# --help shows, and the sections written by hand.
#   man_pages_test.sh MAN_DIR TOVASEL_CLI
set -uo pipefail
dir=$1
cli=$2
command -v man >/dev/null || { echo "skipped: man is not installed"; exit 77; }

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

pages=("$dir/tovasel-cli.1")
[[ -f $dir/tovasel.1 ]] && pages+=("$dir/tovasel.1")
for page in "${pages[@]}"; do
    for file in "$page" "$page.gz"; do
        [[ -f $file ]] || { fail "$file was not built"; continue; }
        warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$file renders with warnings: $warnings"
    done
    cmp -s "$page" <(gzip -dc "$page.gz") || fail "$page.gz is not $page compressed"
done

# Rendered text, with man's hyphenation and adjusting turned off so that
# every name stays whole on its line.
text=$(MANWIDTH=200 MAN_KEEP_FORMATTING= man -l --nh --nj "$dir/tovasel-cli.1" 2>/dev/null | col -b)
commands=$("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p')
[[ -n $commands ]] || fail "no commands in $cli --help"
for command in $commands; do
    grep -q "^ *$command command:" <<<"$text" || fail "no section for the $command command"
    grep -q "tovasel-cli $command " <<<"$text" || fail "no usage line for the $command command"
    for option in $("$cli" "$command" --help | sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr ',' ' '); do
        grep -qF -- "$option" <<<"$text" || fail "$command option $option is not in the page"
    done
done
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" DIAGNOSTICS EXAMPLES "SEE ALSO"; do
    grep -q "^$section\$" <<<"$text" || fail "tovasel-cli(1) has no $section section"
done
version=$("$cli" --version | awk '{ print $2 }')
grep -q "tovasel-cli $version" <<<"$text" || fail "tovasel-cli(1) does not name version $version"

# Examples of options that come with later builds appear exactly when the
# tool has them; a stand-in tool shows both cases.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
examples=$(dirname "$0")/../../packaging/man/optional-examples.sh
# LISTED is how the stand-in's help names the option, "" for not at all.
for listed in "--optimize" "--optimize[=LEVEL]" ""; do
    cat >"$work/cli" <<STANDIN
#!/bin/sh
echo "Options:"
[ \$1 = convert ] && [ -n "$listed" ] && echo "  $listed          Smallest GIF"
echo "  --optimize-later            Not an option of its own"
STANDIN
    chmod +x "$work/cli"
    shown=$(sh "$examples" "$work/cli" | grep -c 'convert intro.flc \\-\\-optimize$')
    [[ -n $listed && $shown == 1 || -z $listed && $shown == 0 ]] ||
        fail "the --optimize example is shown $shown times for a tool that lists '$listed'"
done

if ((failures > 0)); then
    echo "$failures manual page checks failed"
    exit 1
fi
echo "manual page checks passed"
