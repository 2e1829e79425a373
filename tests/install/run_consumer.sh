#!/usr/bin/env bash
# run_consumer.sh <build dir> <work dir> <consumer source> <extra compiler flags>
set -euo pipefail
build="$1"; work="$2"; src="$3"; flags="${4:-}"
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
      -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/build" >/dev/null
export VK_HOME="$work/home"
"$work/build/vkpopup-consumer"
