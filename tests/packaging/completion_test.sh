#!/usr/bin/env bash
# Sources the bash completion and checks what TAB offers at each place of a
# tovasel-cli command line, against the built tool.
#   completion_test.sh TOVASEL_CLI COMPLETION_FILE
set -uo pipefail
cli=$(realpath "$1")
source "$2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir sub "two words"
touch a.flc b.FLI c.gif d.GIF e.png F.PNG notes.txt

# The number of --jobs offered follows the machine; this one has three cores.
nproc() { echo 3; }

failures=0
# expect "WORDS" "EXPECTED": completes the last of WORDS (empty when WORDS
# ends in a space) and compares the sorted offers with EXPECTED.
expect() {
    local line=$1 want=$2 got
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$cli
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _tovasel_cli
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [[ $got != "$want" ]]; then
        echo "FAIL: '$line' offers '$got', expected '$want'"
        failures=$((failures + 1))
    fi
}

# Commands and the tool's own options.
expect "tovasel-cli " "batch convert frames info thumbnail"
expect "tovasel-cli con" "convert"
expect "tovasel-cli --v" "--version"

# Each command's options, read from that command's help.
expect "tovasel-cli convert --ex" "--exact-colours --exact-timing"
expect "tovasel-cli batch --j" "--jobs"
expect "tovasel-cli convert --q" "--quiet"
expect "tovasel-cli convert --op" "--optimize"
expect "tovasel-cli batch -" "--crop --exact-colours --exact-timing --help --jobs --keep-going --limit --merge --optimize --palette --quiet --transparent -h -q"
expect "tovasel-cli info --" "--help --quiet"
expect "tovasel-cli frames -" "--format --help --output --quiet -h -o -q"
expect "tovasel-cli thumbnail -" "--help --quiet --size -h -q -s"

# Arguments: FLIC files (any case) and folders; folders only for batch.
expect "tovasel-cli convert " "a.flc b.FLI sub two words"
expect "tovasel-cli info b" "b.FLI"
expect "tovasel-cli batch " "sub two words"
expect "tovasel-cli convert --crop a.flc --merge " "a.flc b.FLI sub two words"
expect "tovasel-cli convert --optimize " "a.flc b.FLI sub two words"

# thumbnail reads a FLIC file and writes a PNG file; a size is not an argument.
expect "tovasel-cli thumbnail " "a.flc b.FLI sub two words"
expect "tovasel-cli thumbnail -s 128 " "a.flc b.FLI sub two words"
expect "tovasel-cli thumbnail a.flc " "F.PNG e.png sub two words"
expect "tovasel-cli thumbnail -s 64 a.flc -q " "F.PNG e.png sub two words"

# Option values: GIF files for convert's output, a folder for frames', a
# count for --jobs, nothing to guess for --limit, the two picture formats,
# the thumbnail sizes file managers ask for.
expect "tovasel-cli convert a.flc -o " "c.gif d.GIF sub two words"
expect "tovasel-cli convert a.flc --output c" "c.gif"
expect "tovasel-cli frames a.flc -o " "sub two words"
expect "tovasel-cli batch . --jobs " "1 2 3"
expect "tovasel-cli convert a.flc --limit " ""
expect "tovasel-cli frames a.flc --format " "png ppm"
expect "tovasel-cli thumbnail --size " "1024 128 256 512"

if ((failures > 0)); then
    echo "$failures completion checks failed"
    exit 1
fi
echo "all completion checks passed"
