#!/usr/bin/env bash
# Checks what desktops read about Tovasel: the desktop entry and AppStream
# file pass their validators, agree with each other and with the program's
# version, and the shared MIME-info file makes FLIC files known by name and
# by content. A validator that is not installed skips its check; with none
# at all the test is skipped (exit 77).
#   desktop_metadata_test.sh SOURCE_DIR VERSION
set -uo pipefail
src=$1
version=$2
desktop=$src/src/app/qt/resources/tovasel.desktop
metainfo=$src/packaging/io.github.tovasel.Tovasel.metainfo.xml
mime=$src/packaging/tovasel-mime.xml

failures=0
ran=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
have() {
    command -v "$1" >/dev/null && return 0
    echo "skipped: $1 is not installed"
    return 1
}

# The validators count a warning as a failure here, not only an error.
if have desktop-file-validate; then
    ran=$((ran + 1))
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
    [[ -z $out ]] || fail "desktop-file-validate warns: $out"
fi
if have appstreamcli; then
    ran=$((ran + 1))
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli: $out"
    grep -E '^[EW]:' <<<"$out" && fail "appstreamcli reports errors or warnings"
fi

# The AppStream file points at the desktop entry, lists the types the entry
# opens, names this release, and its screenshot is the picture in the
# repository with the size it states.
grep -q '<launchable type="desktop-id">tovasel.desktop</launchable>' "$metainfo" ||
    fail "metainfo does not launch tovasel.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
desktop_types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n')
grep -qx 'video/x-flic' <<<"$desktop_types" || fail "desktop entry does not open video/x-flic"
for type in $(sed -n 's:.*<mediatype>\(.*\)</mediatype>.*:\1:p' "$metainfo"); do
    grep -qx "$type" <<<"$desktop_types" || fail "metainfo type $type is not in the desktop entry"
done
shot=$(sed -n 's:.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/main/\(.*\)</image>.*:\1 \2 \3:p' "$metainfo")
read -r width height path <<<"$shot"
if [[ -f $src/$path ]]; then
    # A PNG's width and height are the big-endian words at offsets 16 and 20.
    size=$(od -An -tu1 -j16 -N8 "$src/$path" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [[ $size == "$width $height" ]] || fail "screenshot is $size, metainfo says $width $height"
else
    fail "screenshot '$path' is not in the repository"
fi

# A private MIME database holding only our file: recognition must come from
# it, not from the system's own FLIC entry.
if have update-mime-database && have gio; then
    ran=$((ran + 1))
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/mime/packages"
    cp "$mime" "$work/mime/packages/tovasel.xml"
    update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database rejects $mime"
    # FILE CONTENT EXPECTED: CONTENT is printf format.
    while read -r name content expected; do
        printf "$content" >"$work/$name"
        got=$(XDG_DATA_HOME=$work XDG_DATA_DIRS=$work gio info -a standard::content-type "$work/$name" |
            sed -n 's/.*standard::content-type: //p')
        [[ $got == "$expected" ]] || fail "$name ($content) is $got, expected $expected"
    done <<'CASES'
fli-by-content \x00\x10\x00\x00\x11\xaf\x01\x00 video/x-flic
flc-by-content \x00\x10\x00\x00\x12\xaf\x01\x00 video/x-flic
other-type-word \x00\x10\x00\x00\x13\xaf\x01\x00 application/octet-stream
magic-at-wrong-offset \x11\xaf\x00\x00\x00\x00\x00\x00 application/octet-stream
by-name.flc plain\x20text video/x-flic
BY-NAME.FLI plain\x20text video/x-flic
CASES
fi

((ran > 0)) || exit 77
if ((failures > 0)); then
    echo "$failures desktop metadata checks failed"
    exit 1
fi
echo "desktop metadata checks passed"
