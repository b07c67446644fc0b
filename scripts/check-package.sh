#!/usr/bin/env bash
# Inspects the Debian package `make package` builds: its control fields and
# dependencies, every file it must install, and the files themselves (the
# tool runs from the package, manual pages and metadata pass their checkers
# where those are installed).
#   scripts/check-package.sh build/tovasel_<version>_amd64.deb
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
    lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
fi

if ((failures > 0)); then
    echo "$failures package checks failed"
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
