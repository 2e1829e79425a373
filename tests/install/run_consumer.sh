#!/usr/bin/env bash
# run_consumer.sh <build dir> <work dir> <consumer source> <extra compiler flags>
set -euo pipefail
build="$1"; work="$2"; src="$3"; flags="${4:-}"
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Every installed dialog header declares a class the library exports: a host that includes one can
# link against it.
for header in "$work"/prefix/include/vkpopupdialog/{projectsetting,startup,scenedetect,mediaproperty,unsupportedimage}/*.h; do
    if ! grep -q "class VKPOPUPDIALOG_EXPORT" "$header"; then
        echo "installed without an exported class: ${header#"$work"/prefix/}" >&2
        exit 1
    fi
done
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
      -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/build" >/dev/null
export VK_HOME="$work/home"
"$work/build/vkpopup-consumer"
