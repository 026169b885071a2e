# Sourced: sets up the machine and configures the build folder BUILD (default ./build).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$here/build}
deps_prefix=$(bash "$here/scripts/setup.sh")
# The prefix is keyed by its recipes: an existing build folder follows it when it changes.
if ! grep -qxF "TAMSEL_DEPS_PREFIX:PATH=$deps_prefix" "$BUILD/CMakeCache.txt" 2>/dev/null; then
  cmake -S "$here" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    -DTAMSEL_DEPS_PREFIX="$deps_prefix"
fi
cmake --build "$BUILD" -j"$(nproc)"
