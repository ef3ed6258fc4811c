#!/usr/bin/env bash
# Makes the Debian package from the build (cpack -G DEB, into a folder of its own) and checks
# it: the installed files under /usr and nothing else, the browser engine's library and the
# window's fonts among its dependencies, and its control fields.
#   deb_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$1
source=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work/out" --config CPackConfig.cmake) >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    echo "cpack failed" >&2
    exit 1
}
shopt -s nullglob
debs=("$work"/out/quintavia_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
    echo "cpack made ${#debs[@]} packages named quintavia_*.deb" >&2
    exit 1
fi
deb=${debs[0]}
echo "== $(basename "$deb")" >&2
dpkg-deb -I "$deb" >&2

# The files, without the folders, as the installation into a prefix holds them under /usr.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sed 's|^\./usr/||' | LC_ALL=C sort \
    >"$work/packaged"
LC_ALL=C sort "$source/tests/install/installed_files.txt" >"$work/expected"
diff -u "$work/expected" "$work/packaged" >&2 || fail "the package holds other files"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quintavia ] || fail "Package: $(field Package)"
# Package names in Depends, one a line, without versions or alternatives' bars.
field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//' >"$work/depends"
for package in libqt6webenginecore6 libqt6webenginecore6-bin libqt6webenginewidgets6 \
    fonts-liberation qt6-translations-l10n webext-ublock-origin-chromium publicsuffix; do
    grep -q -x -F "$package" "$work/depends" || fail "Depends names no $package"
done
for name in Maintainer Description Section Homepage; do
    [ -n "$(field "$name")" ] || fail "no $name field"
done
[ "$(field Homepage)" = https://www.norvello.it ] || fail "Homepage: $(field Homepage)"

if [ "$failures" -gt 0 ]; then
    echo "$failures checks failed" >&2
    exit 1
fi
echo "all checks passed" >&2
