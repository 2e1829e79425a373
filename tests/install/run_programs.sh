#!/usr/bin/env bash
# run_programs.sh <build dir> <work dir>
# Installs the build into a scratch prefix, moves the prefix somewhere else, and starts the installed
# programs from there with no library search path set: they must find their libraries on their own.
set -euo pipefail
build="$1"; work="$2"
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
mv "$work/prefix" "$work/moved-prefix"
export VK_HOME="$work/home"
status=0
for program in vkscenedetect vkpopup-demo; do
    path="$work/moved-prefix/bin/$program"
    if [ ! -x "$path" ]; then
        echo "FAIL: $program was not installed to bin/" >&2
        status=1
        continue
    fi
    if ! output=$(env -u LD_LIBRARY_PATH "$path" --help 2>&1); then
        echo "FAIL: $program --help from the moved prefix: $output" >&2
        status=1
    elif ! grep -qi 'usage' <<<"$output"; then
        echo "FAIL: $program --help printed no usage: $output" >&2
        status=1
    else
        echo "PASS: $program starts from the moved prefix"
    fi
done
exit $status
