#!/usr/bin/env bash
# Installs the build tree BUILD, moves the installed tree elsewhere, and builds a small C program
# against it twice, through pkg-config and through find_package; each must run and print what it
# should. A version of another major number must not be found.
set -euo pipefail
build=$1 source=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v pkg-config >/dev/null || { echo "pkg-config is not installed: consumers not checked"; exit 77; }

cmake --install "$build" --prefix "$work/installed" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail install; }
mv "$work/installed" "$work/moved"
tree=$work/moved
libdir=$(cd "$tree" && dirname "$(find . -name kelpa.pc)")
expected="kelpa $version 15 memory"

# pkg-config: the paths are the moved tree's own.
export PKG_CONFIG_PATH=$tree/${libdir#./}
[ "$(pkg-config --modversion kelpa)" = "$version" ] || fail "pkg-config version"
[ "$(pkg-config --variable=includedir kelpa)" -ef "$tree/include" ] || fail "pkg-config includedir: $(pkg-config --variable=includedir kelpa)"
# shellcheck disable=SC2046
cc -o "$work/by-pkg-config" "$source/tests/consumer/consumer.c" $(pkg-config --cflags --libs kelpa) \
  -Wl,-rpath,"$(pkg-config --variable=libdir kelpa)" || fail "build with pkg-config"
[ "$("$work/by-pkg-config")" = "$expected" ] || fail "the pkg-config build printed: $("$work/by-pkg-config")"

# CMake: find_package(kelpa 1) from the prefix, and the imported target.
unset PKG_CONFIG_PATH
cmake -S "$source/tests/consumer" -B "$work/by-cmake" -DCMAKE_PREFIX_PATH="$tree" -DKELPA_WANTED=1 \
  >"$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; fail "configure with find_package"; }
grep -q "^kelpa_DIR:PATH=$tree/" "$work/by-cmake/CMakeCache.txt" || fail "kelpa_DIR is not in the moved tree"
cmake --build "$work/by-cmake" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build with find_package"; }
[ "$("$work/by-cmake/consumer")" = "$expected" ] || fail "the CMake build printed: $("$work/by-cmake/consumer")"
if cmake -S "$source/tests/consumer" -B "$work/wrong-major" -DCMAKE_PREFIX_PATH="$tree" -DKELPA_WANTED=2 \
  >"$work/wrong.log" 2>&1; then
  fail "find_package(kelpa 2) found version $version"
fi
echo "consumers built against $tree through pkg-config and find_package"
