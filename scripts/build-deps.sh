#!/usr/bin/env bash
# Cross-builds tinyxml, OpenSSL, nghttp2, libcurl, and fmt with spdlog (the log benchmark's
# anchor) from Debian's source packages into
# DEPS_ROOT/prefix-KEY and prints that folder. KEY hashes the source versions, the compiler,
# this script, its patches and the toolchain file, so worktrees with different recipes each
# get their own prefix and never rebuild one under another's build. A prefix is built in a
# temporary folder and renamed into place when complete: a half-built one is never used.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps_root=${1:?usage: build-deps.sh DEPS_ROOT}
jobs=$(nproc)
triple=i686-w64-mingw32
packages=(tinyxml openssl nghttp2 curl fmtlib spdlog)

say() { echo "build-deps: $*" >&2; }

src_versions() {  # newest first
  apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -Vru
}

# The mirror may lack the newest source of a package: take the newest it serves.
fetch_source() {
  local v
  rm -rf "$work/$1"
  mkdir -p "$work/$1"
  for v in $(src_versions "$1"); do
    if (cd "$work/$1" && apt-get source -qq --only-source "$1=$v" >/dev/null 2>&1); then
      say "source $1 $v"
      srcdir=$(find "$work/$1" -mindepth 1 -maxdepth 1 -type d | head -n 1)
      return 0
    fi
    rm -rf "${work:?}/$1"/*
  done
  say "cannot fetch the source of $1 (is the deb-src entry there and apt-get update done?)"
  return 1
}

# Applies scripts/patches/NAME-*.patch to the source of NAME.
apply_patches() {
  local p
  for p in "$here"/scripts/patches/"$1"-*.patch; do
    [ -f "$p" ] && patch -d "$srcdir" -p1 --forward -s < "$p"
  done
  return 0
}

build_tinyxml() {
  apply_patches tinyxml
  mkdir -p "$srcdir/obj" "$prefix/include" "$prefix/lib"
  for f in tinyxml tinystr tinyxmlerror tinyxmlparser; do
    $triple-g++-posix -O2 -DTIXML_USE_STL -c "$srcdir/$f.cpp" -o "$srcdir/obj/$f.o"
  done
  rm -f "$prefix/lib/libtinyxml.a"
  $triple-ar rcs "$prefix/lib/libtinyxml.a" "$srcdir"/obj/*.o
  cp "$srcdir/tinyxml.h" "$srcdir/tinystr.h" "$prefix/include/"
}

build_openssl() {
  # Debian's pic.patch makes the x86 perlasm call through the ELF GOT and PLT, which a COFF
  # object cannot represent; the static Windows build needs none of it, so it goes, and the
  # assembly (AES-NI, GHASH, MD5, SHA) is built.
  patch -d "$srcdir" -R -p1 -s < "$srcdir/debian/patches/pic.patch"
  (cd "$srcdir" && ./Configure mingw no-shared no-tests --cross-compile-prefix=$triple- \
      --prefix="$prefix" --libdir=lib >/dev/null \
   && make -s -j"$jobs" build_libs >/dev/null && make -s install_dev >/dev/null)
}

cmake_dep() {
  cmake -S "$srcdir" -B "$srcdir/_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >/dev/null
  cmake --build "$srcdir/_build" -j"$jobs" >/dev/null
  cmake --install "$srcdir/_build" >/dev/null
}

build_nghttp2() {
  cmake_dep -DENABLE_LIB_ONLY=ON -DENABLE_STATIC_LIB=ON -DENABLE_SHARED_LIB=OFF \
    -DENABLE_DOC=OFF -DENABLE_APP=OFF -DENABLE_HPACK_TOOLS=OFF -DENABLE_EXAMPLES=OFF \
    -DHAVE_CLOCK_GETTIME=OFF
}

build_curl() {
  apply_patches curl
  cmake_dep -DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF \
    -DCURL_USE_OPENSSL=ON -DUSE_NGHTTP2=ON -DCURL_DISABLE_LDAP=ON -DCURL_USE_LIBSSH2=OFF \
    -DUSE_LIBIDN2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_ZLIB=ON -DENABLE_MANUAL=OFF \
    -DCMAKE_C_FLAGS=-DNGHTTP2_STATICLIB \
    -DOPENSSL_USE_STATIC_LIBS=ON -DOPENSSL_INCLUDE_DIR="$prefix/include" \
    -DOPENSSL_CRYPTO_LIBRARY="$prefix/lib/libcrypto.a" -DOPENSSL_SSL_LIBRARY="$prefix/lib/libssl.a" \
    -DLIB_EAY="$prefix/lib/libcrypto.a" -DSSL_EAY="$prefix/lib/libssl.a" \
    -DNGHTTP2_INCLUDE_DIR="$prefix/include" -DNGHTTP2_LIBRARY="$prefix/lib/libnghttp2.a" \
    -DZLIB_INCLUDE_DIR=/usr/$triple/include -DZLIB_LIBRARY=/usr/$triple/lib/libz.a
}

build_fmtlib() {
  cmake_dep -DBUILD_SHARED_LIBS=OFF -DFMT_TEST=OFF -DFMT_DOC=OFF
}

build_spdlog() {
  cmake_dep -DSPDLOG_FMT_EXTERNAL=ON -DSPDLOG_BUILD_SHARED=OFF -DSPDLOG_BUILD_EXAMPLE=OFF \
    -DSPDLOG_BUILD_TESTS=OFF -Dfmt_DIR="$prefix/lib/cmake/fmt"
}

recipe_key() {
  local p versions all=""
  for p in "${packages[@]}"; do
    versions=$(src_versions "$p" | tr '\n' ' ')
    [ -n "$versions" ] || { say "no source package $p (is the deb-src entry there and apt-get update done?)"; return 1; }
    all+="$p=$versions|"
  done
  { echo "$all"; $triple-gcc-posix -dumpversion; cat "$here"/scripts/build-deps.sh "$here"/cmake/mingw-i686.cmake;
    cat "$here"/scripts/patches/* 2>/dev/null || true; } | sha1sum | cut -c1-12
}

key=$(recipe_key)
final="$deps_root/prefix-$key"
mkdir -p "$deps_root"
if [ ! -d "$final" ]; then
  # One builder per key; the others wait here and then find the finished prefix.
  exec 9>"$deps_root/.lock-$key"
  flock 9
fi
if [ ! -d "$final" ]; then
  prefix="$deps_root/.building-$key"
  work="$deps_root/.src-$key"
  rm -rf "$prefix" "$work"
  mkdir -p "$prefix" "$work"
  for p in "${packages[@]}"; do
    say "building $p"
    fetch_source "$p"
    "build_$p" >&2
  done
  rm -rf "$work"
  mv -T "$prefix" "$final"
fi
say "prefix up to date: $final"
echo "$final"
