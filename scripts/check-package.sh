#!/usr/bin/env bash
# Inspects the Debian package `make package` builds: its control fields and
# dependencies, every file it must install, and the files themselves (the
# tool runs from the package, the thumbnailer entry makes a thumbnail, both
# programs carry Debian's hardening, manual pages and metadata pass their
# checkers and lintian where those are installed).
#   scripts/check-package.sh build-package/tovasel_<version>_amd64.deb
set -uo pipefail
deb=${1:?usage: check-package.sh PACKAGE.deb}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

info=$(dpkg-deb --info "$deb") || { echo "FAIL: $deb is not a Debian package"; exit 1; }
contents=$(dpkg-deb --contents "$deb" | awk '{ print $1, $6 }')
echo "$info"
echo "$contents"

field() { sed -n "s/^ $1: //p" <<<"$info"; }
[[ $(field Package) == tovasel ]] || fail "package name is '$(field Package)'"
[[ $(field Architecture) == amd64 ]] || fail "architecture is '$(field Architecture)'"
version=$(field Version)
[[ $(basename "$deb") == "tovasel_${version}_amd64.deb" ]] ||
    fail "file name $(basename "$deb") does not carry version $version"
[[ -n $(field Maintainer) && -n $(field Description) ]] || fail "no maintainer or description"

# The libraries the two programs link, found from the binaries: each must
# be listed with a minimum version.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo; do
    grep -qxF "$library" <(sed -n 's/ (>= [^)]*)$//p' <<<"$depends") ||
        fail "Depends lacks $library with a minimum version: $(field Depends)"
done

# PATH MODE: every file in place, with the mode it needs.
while read -r path mode; do
    line=$(grep -E " \./${path#/}\$" <<<"$contents")
    if [[ -z $line ]]; then
        fail "$path is missing"
    elif [[ ${line%% *} != "$mode" ]]; then
        fail "$path has mode ${line%% *}, expected $mode"
    fi
done <<'FILES'
/usr/bin/tovasel -rwxr-xr-x
/usr/bin/tovasel-cli -rwxr-xr-x
/usr/share/applications/tovasel.desktop -rw-r--r--
/usr/share/icons/hicolor/256x256/apps/tovasel.png -rw-r--r--
/usr/share/man/man1/tovasel.1.gz -rw-r--r--
/usr/share/man/man1/tovasel-cli.1.gz -rw-r--r--
/usr/share/metainfo/io.github.tovasel.Tovasel.metainfo.xml -rw-r--r--
/usr/share/mime/packages/tovasel.xml -rw-r--r--
/usr/share/thumbnailers/tovasel.thumbnailer -rw-r--r--
/usr/share/bash-completion/completions/tovasel-cli -rw-r--r--
/usr/share/doc/tovasel/copyright -rw-r--r--
/usr/share/doc/tovasel/changelog.gz -rw-r--r--
FILES
outside=$(awk '{ print $2 }' <<<"$contents" | grep -v '^\./usr/' | grep -vx '\./')
[[ -z $outside ]] || fail "files outside /usr: $outside"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb --extract "$deb" "$work"
root=$work/usr

changelog_version=$(gzip -dc "$root/share/doc/tovasel/changelog.gz" | sed -n '1s/^tovasel (\([^)]*\)).*/\1/p')
[[ $changelog_version == "$version" ]] || fail "changelog's last entry is '$changelog_version', not $version"
"$root/bin/tovasel-cli" --version | grep -qx "tovasel-cli $version" || fail "packaged tovasel-cli does not run"
for page in "$root"/share/man/man1/*.gz; do
    gzip -t "$page" || fail "$page is not gzip data"
    if command -v man >/dev/null; then
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$(basename "$page") renders with warnings: $warnings"
    fi
done
bash -n "$root/share/bash-completion/completions/tovasel-cli" || fail "the completion is not valid bash"

# The thumbnailer entry as file managers read it, run with the packaged tool
# on the bundled sample.
thumbnailer=$root/share/thumbnailers/tovasel.thumbnailer
[[ $(head -n 1 "$thumbnailer") == "[Thumbnailer Entry]" ]] || fail "the thumbnailer entry has no [Thumbnailer Entry] group"
for line in "TryExec=tovasel-cli" "Exec=tovasel-cli thumbnail -s %s %i %o" "MimeType=video/x-flic;"; do
    grep -qxF "$line" "$thumbnailer" || fail "the thumbnailer entry lacks '$line'"
done
sample=$(dirname "$0")/../samples/sample.flc
if [[ -f $sample ]]; then
    PATH=$root/bin:$PATH tovasel-cli thumbnail -s 128 "$sample" "$work/thumbnail.png" ||
        fail "the packaged tool makes no thumbnail"
    [[ $(od -An -tx1 -N8 "$work/thumbnail.png" 2>/dev/null | tr -d ' \n') == 89504e470d0a1a0a ]] ||
        fail "the thumbnail is not a PNG file"
fi

# Debian's hardening in both programs: position-independent, full RELRO
# (GNU_RELRO with BIND_NOW), the stack protector and fortified calls.
for program in "$root/bin/tovasel" "$root/bin/tovasel-cli"; do
    name=$(basename "$program")
    headers=$(readelf --file-header --program-headers --dynamic --wide "$program" 2>/dev/null)
    symbols=$(readelf --dyn-syms --wide "$program" 2>/dev/null)
    grep -q 'Type: *DYN' <<<"$headers" || fail "$name is not position-independent"
    grep -q 'GNU_RELRO' <<<"$headers" || fail "$name has no RELRO segment"
    grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$headers" || fail "$name is not linked with -z now"
    grep -q '__stack_chk_fail' <<<"$symbols" || fail "$name has no stack protector"
    grep -Eq ' __[a-z0-9_]+_chk(@|$)' <<<"$symbols" || fail "$name calls no fortified functions"
done
if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$root/share/applications/tovasel.desktop" 2>&1) || fail "desktop entry: $out"
    [[ -z $out ]] || fail "desktop entry warns: $out"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/share/metainfo/io.github.tovasel.Tovasel.metainfo.xml" ||
        fail "AppStream file does not validate"
fi
if command -v xmllint >/dev/null; then
    xmllint --noout "$root/share/mime/packages/tovasel.xml" || fail "MIME-info file is not well-formed"
fi

if command -v lintian >/dev/null; then
    # With its informational tags, where it reports what hardening lacks.
    tags=$(lintian --display-info "$deb" 2>&1)
    echo "$tags"
    grep -E '^[EW]: ' <<<"$tags" && fail "lintian reports errors or warnings"
    grep -E ' hardening-' <<<"$tags" && fail "lintian finds hardening missing"
fi

if ((failures > 0)); then
    echo "$failures package checks failed"
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
