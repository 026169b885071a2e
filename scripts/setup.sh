#!/usr/bin/env bash
# Installs what the build needs on a Debian machine (as root) and cross-builds the
# third-party libraries Debian does not ship for mingw into a cached prefix, whose folder it
# prints (the only line on standard output). Idempotent: a second run only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deps_root=${TAMSEL_DEPS_ROOT:-/var/cache/tamsel-deps}
jobs=$(nproc)

say() { echo "setup: $*" >&2; }

apt_packages=(
  g++-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev
  wine wine32:i386 wine64 xvfb xauth fonts-wqy-microhei
  googletest nlohmann-json3-dev libstb-dev dpkg-dev
  cmake ninja-build make python3 zip unzip nginx-light aria2 openssl nsis
)

need_apt=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${apt_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need_apt+=("$p")
done

src_list=/etc/apt/sources.list.d/tamsel-deb-src.sources
if [ ! -f "$src_list" ]; then
  # Same mirror and suite as the binary entries, for `apt-get source`.
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#need_apt[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  say "installing ${need_apt[*]:-(index only)}"
  apt-get update -qq >&2 || say "apt-get update reported problems; going on"
  if [ ${#need_apt[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need_apt[@]}" >&2
  fi
fi

exec "$here/scripts/build-deps.sh" "$deps_root"
