#!/usr/bin/env bash
# The Windows branches cannot run here, but they must not rot: compile them
# with Debian's mingw-w64 cross compiler.
set -euo pipefail
source_dir=$1
compiler=x86_64-w64-mingw32-g++
command -v "$compiler" > /dev/null || { echo "skipped: $compiler is not installed"; exit 77; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The results-log writer: append-only access, sharing, LockFileEx.
"$compiler" -std=c++20 -Wall -Wextra -Wpedantic -Werror -I"$source_dir/src" \
    -c "$source_dir/src/results/appendfile.cpp" -o "$out/appendfile.o"
x86_64-w64-mingw32-nm "$out/appendfile.o" | grep -q 'LockFileEx' \
    || { echo "the Windows branch of the writer was not compiled"; exit 1; }
echo "Windows results-log writer: compiled"
