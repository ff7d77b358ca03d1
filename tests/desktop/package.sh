#!/usr/bin/env bash
# A technician's view: build the Debian package, check it with lintian and
# its copyright file, install it with apt, start the installed program until
# its window shows, remove the package, and find nothing of it left.
source "$(dirname "$0")/common.sh"
build_dir=$1

[[ $(id -u) -eq 0 ]] || skip "installing a package needs root"
need cpack apt-get dpkg-deb dpkg-shlibdeps xdotool lintian
if [[ $(dpkg-query -W -f='${Status}' morvel2 2> /dev/null) == *"install ok installed"* ]]; then
    skip "morvel2 is already installed on this machine: leaving it alone"
fi

cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$scratch/package" > "$scratch/cpack.log" \
    || fail "cpack failed: $(cat "$scratch/cpack.log")"
deb=$(find "$scratch/package" -maxdepth 1 -name 'morvel2_*.deb')
[[ -f $deb ]] || fail "no package was built"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* ]] || fail "dependencies not read off the binary: $depends"
[[ $depends == *qt6-qpa-plugins* ]] || fail "the platform plugins are not a dependency: $depends"
echo "built $(basename "$deb"), Depends: $depends"

# Debian's own checks of a package (a maintainer at localhost is an error
# there); errors fail, warnings are counted.
lintian --fail-on error --tag-display-limit 0 "$deb" > "$scratch/lintian.log" 2>&1 \
    || fail "lintian finds errors: $(cat "$scratch/lintian.log")"
echo "lintian: no errors, $(grep -c '^W: ' "$scratch/lintian.log" || true) warnings"
# The copyright file names each licence the package carries, the program's
# and the built-in faces', each with its text.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/morvel2/copyright > "$scratch/copyright" \
    || fail "no copyright file in the package"
head -1 "$scratch/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not machine-readable: $(head -3 "$scratch/copyright")"
for licence in LicenseRef-proprietary OFL-1.1 CC-BY-3.0 Bitstream-Vera; do
    grep -qx "License: $licence" "$scratch/copyright" || fail "the copyright file does not name $licence"
done

dpkg-deb -c "$deb" > "$scratch/contents"
awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$scratch/contents" > "$scratch/files"
# Whatever the builder's umask: folders and programs 0755, other files 0644.
odd=$(awk '$1 !~ /^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x|lrwxrwxrwx)$/' "$scratch/contents")
[[ -z $odd ]] || fail "unexpected permissions in the package: $odd"
for expected in /usr/bin/morvel2 /usr/share/applications/morvel2.desktop \
    /usr/share/metainfo/morvel2.metainfo.xml /usr/share/icons/hicolor/16x16/apps/morvel2.png \
    /usr/share/icons/hicolor/32x32/apps/morvel2.png /usr/share/icons/hicolor/48x48/apps/morvel2.png \
    /usr/share/icons/hicolor/scalable/apps/morvel2.svg /usr/share/doc/morvel2/LiberationSans-LICENSE \
    /usr/share/doc/morvel2/Andika-LICENSE /usr/share/doc/morvel2/OpenDyslexic-LICENSE \
    /usr/share/doc/morvel2/deployment.md /usr/share/doc/morvel2/examples/morvel2.conf \
    /usr/share/applications/morvel2-classe.desktop /usr/share/doc/morvel2/enseignant.md \
    /usr/share/doc/morvel2/copyright \
    /usr/share/doc/morvel2/exercices.md /usr/share/doc/morvel2/examples/exercices/301-herisson.txt \
    /usr/share/doc/morvel2/examples/exercices/302-phare.txt \
    /usr/share/doc/morvel2/examples/exercices/303-cigognes.txt; do
    grep -qx "$expected" "$scratch/files" || fail "$expected is not in the package"
done

on_exit+=("apt-get remove -y --purge morvel2 > /dev/null 2>&1")
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" > "$scratch/install.log" 2>&1 \
    || fail "apt-get install failed: $(tail -20 "$scratch/install.log")"
while read -r file; do [[ -e $file ]] || fail "$file was not installed"; done < "$scratch/files"

start_display
mkdir -p "$scratch/home"
HOME="$scratch/home" /usr/bin/morvel2 &
program=$!
window=$(wait_for_window Form1)
echo "the installed program shows its window ($window)"
kill "$program"
wait "$program" 2> /dev/null || true

DEBIAN_FRONTEND=noninteractive apt-get remove -y --purge morvel2 > "$scratch/remove.log" 2>&1 \
    || fail "apt-get remove failed: $(tail -20 "$scratch/remove.log")"
[[ $(dpkg-query -W -f='${Status}' morvel2 2> /dev/null || true) != *installed* ]] || fail "still installed"
while read -r file; do [[ ! -e $file ]] || fail "$file is left after removal"; done < "$scratch/files"
echo "installed, started and removed cleanly: $(wc -l < "$scratch/files") files"
