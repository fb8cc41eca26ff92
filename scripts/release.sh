#!/bin/sh
# Makes a release in dist/: the Debian package, the Windows zip, the site and
# the npm package of the browser build, the source tarball, and SHA256SUMS.
#
#   scripts/release.sh            builds everything afresh in build-release/
#   scripts/release.sh --reuse    packs the builds of the test command
#                                 (build/, build-win/, build-web/) as they are
#
# The same commit gives the same bytes in any folder: every time stamp is the
# last commit's (SOURCE_DATE_EPOCH), the compilers map the build paths away,
# archive members are sorted with fixed times, owners and modes, and gzip
# keeps no name or time.
set -eu

cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS="${JOBS:-2}"
DIST="$ROOT/dist"

MODE=fresh
case "${1:-}" in
    "") ;;
    --reuse) MODE=reuse ;;
    *) echo "usage: scripts/release.sh [--reuse]" >&2; exit 2 ;;
esac

VERSION=$(sed -n 's/^project(Quorvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$VERSION" ]; then
    echo "release.sh: no version in CMakeLists.txt" >&2
    exit 1
fi
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH
# Files and folders made here are the same for every builder.
umask 022
export TZ=UTC LC_ALL=C

if [ "$MODE" = fresh ]; then
    NATIVE=build-release/native
    WIN=build-release/win
    WEB=build-release/web
    rm -rf build-release
    echo "== native build and Debian package"
    cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DQUORVEL_TESTS=OFF >/dev/null
    cmake --build "$NATIVE" -j "$JOBS"
    echo "== Windows build"
    cmake -S . -B "$WIN" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUORVEL_TESTS=OFF >/dev/null
    cmake --build "$WIN" -j "$JOBS" --target quorvel quorvel-uci quorvel-xboard quorvel-book
    echo "== browser build"
    WEB_OUT="$WEB" NATIVE_BUILD="$NATIVE" scripts/build-web.sh
else
    NATIVE=build
    WIN=build-win
    WEB=build-web
fi

rm -rf "$DIST"
mkdir -p "$DIST"
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT

# tar of the named members of a folder, as the same bytes wherever it is made.
pack_tar() {
    folder="$1" list="$2" output="$3"
    tar -C "$folder" --sort=name --format=gnu --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
        --numeric-owner --mode='u+rw,go+r,go-w' -cf - -T "$list" | gzip -9n >"$output"
}

echo "== Debian package"
(cd "$NATIVE" && cpack -G DEB >/dev/null)
cp "$NATIVE/quorvel_${VERSION}_amd64.deb" "$DIST/"

echo "== Windows zip"
WINDIR="$STAGE/win/quorvel-$VERSION"
mkdir -p "$WINDIR"
for program in quorvel quorvel-uci quorvel-xboard quorvel-book; do
    cp "$WIN/$program.exe" "$WINDIR/"
done
cp "$NATIVE/qvr.bin" LICENSE "$WINDIR/"
sed -e "s/@VERSION@/$VERSION/" -e 's/$/\r/' packaging/windows/README.txt >"$WINDIR/README.txt"
python3 - "$STAGE/win" "$DIST/quorvel-$VERSION-win64.zip" <<'EOF'
# Sorted members, the release's time, fixed modes: the same zip every time.
import os, sys, time, zipfile
root, output = sys.argv[1], sys.argv[2]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
with zipfile.ZipFile(output, "w") as archive:
    for folder, dirs, files in sorted(os.walk(root)):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            member = zipfile.ZipInfo(os.path.relpath(path, root), stamp)
            member.compress_type = zipfile.ZIP_DEFLATED
            member.external_attr = 0o100644 << 16
            member.create_system = 3
            with open(path, "rb") as source:
                archive.writestr(member, source.read(), compresslevel=9)
EOF

echo "== site"
SITEDIR="$STAGE/site/quorvel-web-$VERSION"
mkdir -p "$SITEDIR"
while IFS= read -r entry; do
    cp -R "$WEB/$entry" "$SITEDIR/"
done <<SITE
$(grep -v -e "^#" -e "^$" "$WEB/site-files.txt")
SITE
(cd "$STAGE/site" && find "quorvel-web-$VERSION" >"$STAGE/site-list")
pack_tar "$STAGE/site" "$STAGE/site-list" "$DIST/quorvel-web-$VERSION.tar.gz"

echo "== npm package"
# npm packs the files its package.json lists, with fixed times and owners.
(cd "$WEB" && npm pack --silent --pack-destination "$DIST" >/dev/null)

echo "== source tarball"
git archive --format=tar --prefix="quorvel-$VERSION/" HEAD | gzip -9n >"$DIST/quorvel-$VERSION.tar.gz"

(cd "$DIST" && sha256sum -- *.deb *.zip *.tar.gz *.tgz >SHA256SUMS)
echo "== dist/ ($MODE)"
cat "$DIST/SHA256SUMS"
