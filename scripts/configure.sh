# Sourced: sets up the machine and configures the build folder BUILD (default ./build).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$here/build}
bash "$here/scripts/setup.sh"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    -DTAMSEL_DEPS_PREFIX="${TAMSEL_DEPS_ROOT:-/var/cache/tamsel-deps}/prefix"
fi
cmake --build "$BUILD" -j"$(nproc)"
