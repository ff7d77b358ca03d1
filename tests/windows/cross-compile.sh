#!/usr/bin/env bash
# The Windows branches cannot run here, but they must not rot: compile them
# with Debian's mingw-w64 cross compiler.
#
# Usage: cross-compile.sh SOURCE_DIR [WINDOWS_BUILD_DIR]. Given the Windows
# build's folder too, checks only what it made: what its MSI and its zip
# carry, and that nothing the programs load is left out of them.
set -euo pipefail
source_dir=$1
windows_build=${2:-}
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every file of the package, as the MSI's File table and the zip name them.
check_package() {
    local msi zip stage objdump=x86_64-w64-mingw32-objdump
    command -v msiinfo > /dev/null || { echo "skipped: msiinfo is not installed (msitools)"; exit 77; }
    msi=$(ls "$1"/morvel2-*-win64.msi) && zip=$(ls "$1"/morvel2-*-win64.zip) || fail "no MSI or zip in $1"
    stage=$1/package/morvel2
    msiinfo export "$msi" File | tail -n +4 | cut -f3 | sed 's/^[^|]*|//' | sort > "$out/msi-files"
    python3 -c 'import sys, zipfile
for name in zipfile.ZipFile(sys.argv[1]).namelist():
    if not name.endswith("/"): print(name.split("/")[-1])' "$zip" | sort > "$out/zip-files"
    for file in morvel2.exe morvel2.com Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll \
        libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll qwindows.dll qwindowsvistastyle.dll \
        LGPL-3.txt GPL-3.txt LiberationSans-LICENSE.txt Andika-LICENSE.txt OpenDyslexic-LICENSE.txt enseignant.txt deployment.txt exercices.txt \
        morvel2.admx morvel2.adml qtbase_fr.qm LiberationSans-Regular.ttf LiberationSans-Bold.ttf \
        301-herisson.txt 302-phare.txt 303-cigognes.txt; do
        grep -qxF "$file" "$out/msi-files" || fail "the MSI does not carry $file"
        grep -qxF "$file" "$out/zip-files" || fail "the zip does not carry $file"
    done
    # The guides as Notepad reads them: one mark, then UTF-8 lines ended by
    # CR LF, the same text as in docs/.
    local guide
    for guide in enseignant deployment exercices; do
        [[ $(head -c 3 "$stage/$guide.txt" | od -An -tx1) == " ef bb bf" ]] || fail "$guide.txt has no mark"
        [[ $(grep -c $'\r$' "$stage/$guide.txt") -eq $(wc -l < "$stage/$guide.txt") ]] \
            || fail "$guide.txt has lines not ended by CR LF"
        tail -c +4 "$stage/$guide.txt" | tr -d '\r' | cmp -s - "$source_dir/docs/$guide.md" \
            || fail "$guide.txt is not docs/$guide.md"
    done
    # The example exercises in their folder, as the Debian package has them.
    local example
    for example in 301-herisson 302-phare 303-cigognes; do
        cmp -s "$stage/exercices/$example.txt" "$source_dir/packaging/exercices/$example.txt" \
            || fail "exercices\\$example.txt is not packaging/exercices/$example.txt"
    done
    # The same maker as the Debian package's.
    msiinfo export "$msi" Property | tr -d '\r' > "$out/properties"
    grep -qx $'Manufacturer\tÉquipe morvel2' "$out/properties" \
        || fail "the MSI's maker is not Équipe morvel2: $(grep Manufacturer "$out/properties")"
    # A Qt or compiler DLL that a program or plugin loads and the package
    # lacks would stop it on a machine without Qt (Windows' own are there).
    for binary in "$stage"/*.exe "$stage"/*.com "$stage"/*.dll "$stage"/*/*.dll; do
        "$objdump" -p "$binary" | sed -n 's/^\tDLL Name: //p' > "$out/imports"
        while read -r dll; do
            [[ $dll =~ ^(Qt6|lib) ]] || continue
            grep -qxF "$dll" "$out/msi-files" || fail "${binary##*/} loads $dll, which the MSI does not carry"
        done < "$out/imports"
    done
    # Read whole first: grep -q stopping early would kill objdump with SIGPIPE.
    "$objdump" -p "$stage/morvel2.com" > "$out/com-headers"
    "$objdump" -p "$stage/morvel2.exe" > "$out/exe-headers"
    grep -q 'Subsystem.*(Windows CUI)' "$out/com-headers" || fail "morvel2.com is no console program"
    grep -q 'Subsystem.*(Windows GUI)' "$out/exe-headers" || fail "morvel2.exe is no window program"
    # Shortcuts: name (after its 8.3 one), target, arguments.
    msiinfo export "$msi" Shortcut | tail -n +4 | awk -F'\t' '{ sub(/^[^|]*\|/, "", $3); print $3 "\t" $5 "\t" $6 }' \
        | sort > "$out/shortcuts"
    printf '%s\t[INSTALLDIR]morvel2.exe\t%s\n' morvel2 '' 'morvel2 – résultats de la classe' --classe \
        | sort > "$out/expected-shortcuts"
    diff "$out/expected-shortcuts" "$out/shortcuts" || fail "the Start-menu shortcuts differ (expected, then made)"
    echo "Windows package: morvel2.exe, morvel2.com (console), every DLL they load, Qt's French, the guides," \
        "the example exercises, both shortcuts"
}
compiler=x86_64-w64-mingw32-g++
command -v "$compiler" > /dev/null || { echo "skipped: $compiler is not installed"; exit 77; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if [[ -n $windows_build ]]; then
    check_package "$windows_build"
    exit 0
fi

# The results-log writer and its rescue: append-only access, sharing, LockFileEx.
for source in logfile/shared logfile/openlock_win logfile/append_win logfile/collect_win saving/pendingrecord \
    saving/pendingrecord_win saving/rescuefolder_win; do
    "$compiler" -std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Werror -I"$source_dir/src" \
        -c "$source_dir/src/$source.cpp" -o "$out/${source##*/}.o"
done
# Listed to a file first: grep -q stopping early would kill nm with SIGPIPE.
x86_64-w64-mingw32-nm "$out/openlock_win.o" > "$out/symbols.txt"
grep -q 'LockFileEx' "$out/symbols.txt" || { echo "the Windows writer was not compiled"; exit 1; }
echo "Windows results-log writer: compiled"

# The icon: exactly three images, 32 x 32 in 2 colours, 32 x 32 and 16 x 16
# in 16 colours (width, height, colours, reserved, planes, bits per pixel).
ico="$source_dir/packaging/icons/morvel2.ico"
directory=$(od -An -v -tu1 -N54 "$ico" | tr -s ' \n' ' ')
expected=" 0 0 1 0 3 0 32 32 2 0 1 0 1 0"
[[ $directory == "$expected"* ]] || { echo "unexpected icon header: $directory"; exit 1; }
entries=$(od -An -v -tu1 -j6 -N48 "$ico" | tr -s ' \n' ' ' | awk '{ for (i = 0; i < 3; i++) printf "%s %s %s %s %s %s %s %s;", $(16*i+1), $(16*i+2), $(16*i+3), $(16*i+4), $(16*i+5), $(16*i+6), $(16*i+7), $(16*i+8) }')
[[ $entries == "32 32 2 0 1 0 1 0;32 32 16 0 1 0 4 0;16 16 16 0 1 0 4 0;" ]] \
    || { echo "unexpected icon images: $entries"; exit 1; }
echo "Windows icon: three images, 32x32x2, 32x32x16, 16x16x16"

# The Group Policy template: well formed, every string and presentation it
# names in both languages, its policies writing plain strings (the results
# log, the page's size, the exercises' and the adaptations' folders) under
# the Policies key the program reads first.
python3 - "$source_dir/packaging/windows/policies" << 'EOF' || exit 1
import re, sys, xml.etree.ElementTree as ET
folder = sys.argv[1]
ns = "{http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions}"
admx_text = open(f"{folder}/morvel2.admx", encoding="utf-8").read()
admx = ET.fromstring(admx_text)
strings = set(re.findall(r"\$\(string\.(\w+)\)", admx_text))
presentations = set(re.findall(r"\$\(presentation\.(\w+)\)", admx_text))
texts = []
found = set()
for policy in admx.iter(f"{ns}policy"):
    text = policy.find(f".//{ns}text")
    texts.append(text)
    group = policy.get("key").rsplit("\\", 1)[-1]
    found.add((group, text.get("valueName")))
    assert policy.get("class") == "Machine" and policy.get("key") == "Software\\Policies\\morvel2\\morvel2\\" + group, policy.attrib
    assert text.get("expandable", "false") == "false", text.attrib
assert found == {("results", "log"), ("window", "page"), ("exercises", "folder"), ("adaptations", "folder")}, found
for language in ("fr-FR", "en-US"):
    adml = ET.parse(f"{folder}/{language}/morvel2.adml").getroot()
    ids = {s.get("id") for s in adml.iter(f"{ns}string")}
    shown = {p.get("id") for p in adml.iter(f"{ns}presentation")}
    assert strings <= ids, (language, strings - ids)
    assert presentations <= shown, (language, presentations - shown)
    boxes = {b.get("refId") for b in adml.iter(f"{ns}textBox")} | {b.get("refId") for b in adml.iter(f"{ns}comboBox")}
    assert {t.get("id") for t in texts} <= boxes, (language, boxes)
print("Group Policy template: morvel2.admx with fr-FR and en-US, every string there")
EOF

# The version record, compiled as the Windows build links it.
windres=x86_64-w64-mingw32-windres
command -v "$windres" > /dev/null || { echo "skipped: $windres is not installed"; exit 77; }
"$windres" --include-dir "$source_dir/packaging/windows" -i "$source_dir/packaging/windows/morvel2.rc" \
    -O res -o "$out/morvel2.res"
strings -el "$out/morvel2.res" > "$out/strings.txt"
for text in "1.00" "morvel2" "morvel2.exe" "040C04B0"; do
    grep -qx "$text" "$out/strings.txt" || { echo "the version record lacks $text"; exit 1; }
done
"$windres" --include-dir "$source_dir/packaging/windows" -i "$source_dir/packaging/windows/morvel2.rc" \
    -o "$out/morvel2-rc.o"
echo "Windows version record and icon: compiled"
