#!/bin/bash
# Builds the .deb from a configured, built tree and has lintian (no error, warning
# or hardening tag), desktop-file-validate, appstreamcli and man judge it; checks
# the computed Depends, the copyright file against LICENSE, and that the package
# and `cmake --install` put down exactly the expected files.
# Usage: checkPackage.sh BUILD_DIR SCRATCH_DIR VERSION [CMAKE] [CPACK]
set -euo pipefail
build=$1 scratch=$2 version=$3 cmake=${4:-cmake} cpack=${5:-cpack} id=io.github.quillon.Quillon failures=0
check() { "$@" || { echo "FAIL: $*" >&2; failures=$((failures + 1)); }; }
lacks() { ! grep -qE "$@"; }
# Runs a step the rest depends on; on failure shows its output and stops.
must() { "$@" >"$scratch/step.log" 2>&1 || { cat "$scratch/step.log" >&2; echo "FAIL: $*" >&2; exit 1; }; }
hash dpkg-deb lintian desktop-file-validate appstreamcli man || { echo "FAIL: a needed tool is missing" >&2; exit 1; }
rm -rf "$scratch" && mkdir -p "$scratch/root"
must "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/cpack"
must "$cmake" --install "$build" --prefix "$scratch/prefix"
deb=$scratch/cpack/quillon_${version}_$(dpkg --print-architecture).deb root=$scratch/root
dpkg-deb -x "$deb" "$root"

check lintian --fail-on error,warning -I "$deb" >"$scratch/lintian.txt" 2>&1
cat "$scratch/lintian.txt"
check lacks '^[EW]: |hardening-no-|desktop-entry-lacks-' "$scratch/lintian.txt"
depends=$(dpkg-deb -f "$deb" Depends) && echo "Depends: $depends"
check grep -qE '(^|, )libsdl1\.2debian \(>= [^)]+\)(,|$)' <<<"$depends"
check grep -qE '(^|, )libgl1(,|$)' <<<"$depends"
check lacks 'libstdc\+\+6|libsdl1\.2-compat' <<<"$depends"
check grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$root/usr/share/doc/quillon/copyright"
check diff <(sed -n '/^Permission/,$p' "$(dirname "$0")/../../LICENSE") \
    <(sed -n '/^ Permission/,$p' "$root/usr/share/doc/quillon/copyright" | sed -e 's/^ //' -e 's/^\.$//')
check desktop-file-validate "$root/usr/share/applications/$id.desktop"
check grep -qx 'Exec=quillon' "$root/usr/share/applications/$id.desktop"
check appstreamcli validate-tree --no-net "$root"
check lacks . <(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man6/quillon.6.gz" 2>&1 >/dev/null)

printf '%s\n' bin/quillon share/applications/$id.desktop share/doc/quillon/{changelog.gz,copyright} \
    share/icons/hicolor/{128x128,256x256,32x32,48x48,64x64}/apps/$id.png share/man/man6/quillon.6.gz \
    share/metainfo/$id.metainfo.xml | LC_ALL=C sort >"$scratch/expected.txt"
for tree in "$root/usr" "$scratch/prefix"; do
    check diff -u "$scratch/expected.txt" <(cd "$tree" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
done
[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
