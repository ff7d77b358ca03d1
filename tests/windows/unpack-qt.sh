#!/usr/bin/env bash
# scripts/unpack-windows-qt with small stand-in archives: a copy unpacked
# from the same archive is kept, one from another archive (or of unknown
# origin) is replaced whole, and nothing to use is a skip, not a failure.
set -euo pipefail
unpack=$(cd "$(dirname "$0")/../.." && pwd)/scripts/unpack-windows-qt
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/opt/qt6-mingw
fail() { echo "FAIL: $*" >&2; exit 1; }

# An archive holding qt6-mingw/ with the file Qt6Config.cmake and $1.
make_archive() {
    local tree=$scratch/tree
    rm -rf "$tree"
    mkdir -p "$tree/qt6-mingw/lib/cmake/Qt6" "$tree/qt6-mingw/bin"
    touch "$tree/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" "$tree/qt6-mingw/bin/$1"
    tar -C "$tree" -cJf "$scratch/qt6-mingw.tar.xz" qt6-mingw
}

status=0
"$unpack" "$prefix" "$scratch/none.tar.xz" > "$scratch/out" || status=$?
[[ $status -eq 77 ]] || fail "with neither a copy nor an archive: status $status, not 77"
grep -q '^skipped: ' "$scratch/out" || fail "the skip is not said: $(cat "$scratch/out")"

make_archive Qt6Core.dll
"$unpack" "$prefix" "$scratch/qt6-mingw.tar.xz" > /dev/null
[[ -f $prefix/bin/Qt6Core.dll ]] || fail "the first unpack made no $prefix/bin/Qt6Core.dll"
[[ $(cat "$prefix/.archive-sha256") == $(sha256sum "$scratch/qt6-mingw.tar.xz" | cut -d' ' -f1) ]] \
    || fail "the stamp is not the archive's checksum"

touch "$prefix/kept"
"$unpack" "$prefix" "$scratch/qt6-mingw.tar.xz" > /dev/null
[[ -f $prefix/kept ]] || fail "the copy of the same archive was unpacked again"

# A newer archive, its checksum given beside it as sha256sum writes it.
make_archive Qt6PrintSupport.dll
(cd "$scratch" && sha256sum qt6-mingw.tar.xz > qt6-mingw.tar.xz.sha256)
"$unpack" "$prefix" "$scratch/qt6-mingw.tar.xz" > /dev/null
[[ -f $prefix/bin/Qt6PrintSupport.dll ]] || fail "the newer archive was not unpacked"
[[ ! -e $prefix/kept && ! -e $prefix/bin/Qt6Core.dll ]] || fail "the old copy was not removed first"

# A copy of unknown origin (no stamp), as machines that built earlier have.
rm "$prefix/.archive-sha256"
touch "$prefix/kept"
"$unpack" "$prefix" "$scratch/qt6-mingw.tar.xz" > /dev/null
[[ ! -e $prefix/kept && -f $prefix/.archive-sha256 ]] || fail "a copy without a stamp was kept"

# Without the archive, the copy there is used as it is.
rm "$scratch/qt6-mingw.tar.xz" "$scratch/qt6-mingw.tar.xz.sha256"
"$unpack" "$prefix" "$scratch/qt6-mingw.tar.xz" || fail "the copy was refused without an archive"
[[ -z $(find "$scratch/opt" -name '.unpack-qt.*') ]] || fail "a scratch folder was left beside the prefix"
echo "Qt for Windows: unpacked once per archive, replaced when the archive changes"
