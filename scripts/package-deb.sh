#!/usr/bin/env bash
# Builds the Debian package of Tessik, dist/tessik_VERSION_ARCH.deb (for example
# dist/tessik_1.5_amd64.deb): a Release build of the window and tessik-cli in a folder of
# its own (build-package/, no tests), installed by CPack under /usr with the manual pages,
# the bash completion, the desktop entry, the AppStream metainfo and the icons; its
# dependencies are computed from the programs by dpkg-shlibdeps. Installs what it needs on
# a fresh Debian 12 machine, and checks the package it made.
# Install the package with: apt-get install ./dist/tessik_1.5_amd64.deb
# scripts/check-package.sh tries it on a fresh Debian 12 root.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh package

cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTESSIK_WITH_QT=ON -DTESSIK_TESTS=OFF \
  -DTESSIK_BENCH=OFF -DTESSIK_FUZZ=OFF -DTESSIK_SANITIZE= >/dev/null
cmake --build build-package -j "$(( $(nproc) + 1 ))"

rm -rf build-package/packages
(cd build-package && cpack -G DEB >/dev/null)
built=(build-package/packages/tessik_*.deb)
if [ ${#built[@]} -ne 1 ] || [ ! -f "${built[0]}" ]; then
  echo "package-deb: cpack made no single package in build-package/packages" >&2
  exit 1
fi

version=$(sed -n 's/^project(Tessik VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
python3 tests/packaging/check_install.py deb --deb "${built[0]}" --version "$version"

mkdir -p dist
rm -f dist/tessik_*.deb
cp "${built[0]}" dist/
deb=dist/$(basename "${built[0]}")
echo
dpkg-deb --field "$deb" Package Version Architecture Installed-Size Depends Recommends
echo "Built $deb; install it with: apt-get install ./$deb"
