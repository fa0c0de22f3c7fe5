#!/bin/bash
# Builds the Debian package from a configured, built tree and checks its control
# fields and its contents, then checks what `cmake --install` puts down.
# Usage: checkPackage.sh BUILD_DIR SCRATCH_DIR VERSION [CMAKE] [CPACK]
set -euo pipefail

build=$1
scratch=$2
version=$3
cmake=${4:-cmake}
cpack=${5:-cpack}

# Everything the package may hold, as `dpkg-deb -c` names it; directories end in /.
expected_entries=(
    ./usr/
    ./usr/bin/
    ./usr/bin/quillon
    ./usr/share/
    ./usr/share/applications/
    ./usr/share/applications/quillon.desktop
)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Checks the executable and the desktop entry under an installed prefix.
check_installed_files() {
    local label=$1 prefix=$2
    local binary=$prefix/bin/quillon desktop=$prefix/share/applications/quillon.desktop
    if [[ ! -f $binary || ! -x $binary ]]; then
        fail "$label: $binary missing or not executable"
    elif [[ $(head -c 4 "$binary" | od -An -c | tr -d ' ') != '177ELF' ]]; then
        fail "$label: $binary is not an ELF file"
    fi
    if [[ ! -f $desktop ]]; then
        fail "$label: $desktop missing"
    else
        grep -qx 'Exec=quillon' "$desktop" || fail "$label: $desktop has no line Exec=quillon"
        grep -qx 'Type=Application' "$desktop" || fail "$label: $desktop has no line Type=Application"
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$desktop" || fail "$label: desktop-file-validate rejects $desktop"
        fi
    fi
}

# Prints the package names in a Depends value, one a line, without versions.
dependency_names() {
    tr ',|' '\n' <<<"$1" | sed -e 's/(.*)//' -e 's/:any//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' -e '/^$/d'
}

rm -rf "$scratch"
mkdir -p "$scratch"

# Package build.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/cpack" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack -G DEB failed" >&2
    exit 1
}
shopt -s nullglob
debs=("$scratch"/cpack/*.deb)
shopt -u nullglob
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "FAIL: expected one .deb in $scratch/cpack, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $deb"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == quillon ]] || fail "Package is '$(field Package)', expected quillon"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)', expected $version"
[[ $(field Section) == games ]] || fail "Section is '$(field Section)', expected games"
[[ -n $(field Maintainer) ]] || fail "Maintainer is empty"
[[ -n $(field Description) ]] || fail "Description is empty"

depends=$(field Depends)
echo "Depends: $depends"
sdl_ok=0
IFS=',' read -ra groups <<<"$depends"
for group in "${groups[@]}"; do
    names=$(dependency_names "$group")
    if grep -qx 'libsdl1.2debian' <<<"$names" && grep -qx 'libsdl1.2-compat' <<<"$names"; then
        sdl_ok=1
    fi
done
[[ $sdl_ok -eq 1 ]] || fail "Depends has no alternative 'libsdl1.2debian | libsdl1.2-compat'"
all_names=$(dependency_names "$depends")
for name in libgl1 libglu1-mesa libc6; do
    grep -qx "$name" <<<"$all_names" || fail "Depends does not name $name"
done

# Contents: exactly the expected entries, nothing from the tests or benchmarks.
dpkg-deb -c "$deb" | awk '$6 != "./" { print $6 }' | sort >"$scratch/contents.txt"
printf '%s\n' "${expected_entries[@]}" | sort >"$scratch/expected.txt"
if ! diff -u "$scratch/expected.txt" "$scratch/contents.txt"; then
    fail "package contents differ from the expected list (- expected, + in package)"
fi

root=$scratch/root
dpkg -x "$deb" "$root"
check_installed_files "package" "$root/usr"

# Every library the executable needs must come from a package named in Depends.
if command -v dpkg-shlibdeps >/dev/null; then
    mkdir -p "$scratch/shlibs/debian"
    touch "$scratch/shlibs/debian/control"
    if shlibs=$(cd "$scratch/shlibs" && dpkg-shlibdeps -O "$root/usr/bin/quillon" 2>/dev/null); then
        for name in $(dependency_names "${shlibs#shlibs:Depends=}"); do
            grep -qx "$name" <<<"$all_names" || fail "executable needs $name, which Depends does not name"
        done
    else
        echo "note: dpkg-shlibdeps could not analyse the executable; skipping that check"
    fi
fi

# Plain install into a scratch prefix.
prefix=$scratch/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 || {
    cat "$scratch/install.log" >&2
    echo "FAIL: cmake --install failed" >&2
    exit 1
}
check_installed_files "cmake --install" "$prefix"
(cd "$prefix" && find . -mindepth 1 ! -type d | sort) >"$scratch/installed.txt"
printf '%s\n' ./bin/quillon ./share/applications/quillon.desktop >"$scratch/installed-expected.txt"
if ! diff -u "$scratch/installed-expected.txt" "$scratch/installed.txt"; then
    fail "cmake --install put down files beyond the executable and the desktop entry"
fi

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
