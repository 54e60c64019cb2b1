#!/usr/bin/env bash
# Builds the release of tamsik.exe and packs it with the user guide, the
# licence, the example script and their checksums: scripts/package.sh
# The last line it prints is the path of build/tamsik-<version>-win64.zip.
# The same sources give the same archive, byte for byte: its files bear the
# time of the last commit (or SOURCE_DATE_EPOCH), in a fixed order, with fixed
# modes and no extra attributes.
# TAMSIK_PACKAGE_BUILD_DIR overrides the build directory (build/package).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
export LC_ALL=C

scripts/install_deps.sh package
build=${TAMSIK_PACKAGE_BUILD_DIR:-build/package}
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

cmake --preset mingw -B "$build" -DTAMSIK_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tamsik >&2
version=$(<"$build/tamsik_version.txt")

stage="$build/archive"
rm -rf "$stage"
mkdir -p "$stage/examples"
cp "$build/tamsik.exe" "$stage/tamsik.exe"
# The README's Chinese section, up to the next section. Notepad wants CR LF;
# the byte order mark makes every version of it read the text as UTF-8.
{
  printf '\xef\xbb\xbf'
  awk '/^## / { inGuide = index($0, "使用说明") > 0 }
       inGuide { lines[++n] = $0 }
       END { while (n > 0 && lines[n] == "") n--; for (i = 1; i <= n; i++) printf "%s\r\n", lines[i] }' README.md
} >"$stage/README.txt"
if (($(wc -l <"$stage/README.txt") == 0)); then
  echo "package.sh: README.md has no section whose heading contains 使用说明" >&2
  exit 1
fi
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
cp examples/*.sbj "$stage/examples/"

files=(tamsik.exe README.txt LICENSE.txt)
for example in "$stage"/examples/*.sbj; do files+=("examples/${example##*/}"); done
# What a user can check the download against; CR LF for Notepad.
(cd "$stage" && sha256sum "${files[@]}" | sed 's/$/\r/') >"$stage/SHA256SUMS.txt"
files+=(SHA256SUMS.txt)
for file in "${files[@]}"; do
  chmod 644 "$stage/$file"
  touch -d "@$epoch" "$stage/$file"
done

archive="$repo/build/tamsik-$version-win64.zip"
rm -f "$archive"
# zip keeps local times: in UTC they are the same on every machine. -X drops
# the owner and extra time fields, -D the directory entries.
(cd "$stage" && TZ=UTC LC_ALL=C zip -X -D -q "$archive" "${files[@]}")
echo "$archive"
