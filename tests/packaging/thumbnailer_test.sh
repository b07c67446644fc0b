#!/usr/bin/env bash
# Runs the thumbnailer entry as a file manager does: reads its fields, finds
# TryExec on PATH, splits Exec into words and puts a size for %s, the input
# path for %i and the output path for %o, each as one argument whatever
# spaces it holds. Checks the PNG it writes, and that a damaged FLIC file
# gives exit 1 and no file.
#   thumbnailer_test.sh TOVASEL_CLI THUMBNAILER_ENTRY SAMPLE_FLC
set -uo pipefail
cli=$(realpath "$1")
entry=$2
sample=$(realpath "$3")
export PATH=$(dirname "$cli"):$PATH

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[[ $(head -n 1 "$entry") == "[Thumbnailer Entry]" ]] || fail "the entry does not start with [Thumbnailer Entry]"
field() { sed -n "s/^$1=//p" "$entry"; }
[[ $(field MimeType) == "video/x-flic;" ]] || fail "MimeType is '$(field MimeType)'"
try_exec=$(field TryExec)
command -v "$try_exec" >/dev/null || fail "TryExec '$try_exec' is not on PATH"
exec_line=$(field Exec)
[[ -n $exec_line ]] || fail "no Exec line"

# run SIZE INPUT OUTPUT: the Exec line with the file manager's substitutions.
run() {
    local word argv=()
    for word in $exec_line; do
        case $word in
            %s) argv+=("$1") ;;
            %i) argv+=("$2") ;;
            %o) argv+=("$3") ;;
            *) argv+=("$word") ;;
        esac
    done
    "${argv[@]}"
}

# PNG width and height: the big-endian words at offsets 16 and 20.
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'
}
png_signature() { od -An -tx1 -N8 "$1" | tr -d ' \n'; }

mkdir "$work/in folder" "$work/out folder"
cp "$sample" "$work/in folder/an animation.flc"
read -r sample_width sample_height < <("$cli" info "$sample" | awk '/^width:/ { w = $2 } /^height:/ { h = $2 } END { print w, h }')
for size in 128 256 16; do
    out="$work/out folder/thumb $size.png"
    run "$size" "$work/in folder/an animation.flc" "$out" || fail "Exec with size $size exits $?"
    [[ -f $out ]] || { fail "no thumbnail at size $size"; continue; }
    [[ $(png_signature "$out") == 89504e470d0a1a0a ]] || fail "the size $size thumbnail is not a PNG"
    read -r width height < <(png_size "$out")
    # Fits the box, keeps the aspect, is never larger than the frame.
    ((width <= size && height <= size && width <= sample_width && height <= sample_height)) ||
        fail "size $size thumbnail is $width x $height"
    ((width == size || height == size || (width == sample_width && height == sample_height))) ||
        fail "size $size thumbnail is $width x $height, it does not fill the box"
done

head -c 100 "$sample" >"$work/cut.flc"
run 128 "$work/cut.flc" "$work/cut.png" 2>/dev/null
status=$?
[[ $status == 1 ]] || fail "a cut FLIC file exits $status, expected 1"
[[ ! -e $work/cut.png ]] || fail "a cut FLIC file left a thumbnail"

if ((failures > 0)); then
    echo "$failures thumbnailer checks failed"
    exit 1
fi
echo "thumbnailer checks passed"
