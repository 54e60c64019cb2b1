#!/usr/bin/env bash
# Checks the release archive: scripts/package.sh names it after the project's
# version, it holds exactly the files a user gets, in the form Notepad shows,
# and the same sources built again in another directory give the same bytes.
#   tests/package/check_package.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
repo="$PWD"
export LC_ALL=C

fail() {
  echo "check_package.sh: $*" >&2
  exit 1
}

work="$(mktemp -d "${TMPDIR:-/tmp}/tamsik-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT

started=$SECONDS
archive=$(scripts/package.sh | tail -n 1)
echo "scripts/package.sh took $((SECONDS - started)) s" >&2
version=$(sed -n 's/^project(tamsik VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ $archive == "$repo/build/tamsik-$version-win64.zip" && -f $archive ]] || fail "unexpected archive: $archive"

expected=$'tamsik.exe\nREADME.txt\nLICENSE.txt\nexamples/notepad_hello.sbj\nSHA256SUMS.txt'
listing=$(unzip -Z1 "$archive")
[[ $listing == "$expected" ]] || fail "the archive holds"$'\n'"$listing"$'\n'"instead of"$'\n'"$expected"

unzip -q "$archive" -d "$work/unpacked"
cd "$work/unpacked"
tr -d '\r' <SHA256SUMS.txt | sha256sum --quiet -c - || fail "SHA256SUMS.txt does not match the files"
[[ $(wc -l <SHA256SUMS.txt) == 4 ]] || fail "SHA256SUMS.txt does not list every other file"
for text in README.txt LICENSE.txt examples/notepad_hello.sbj SHA256SUMS.txt; do
  [[ -s $text ]] || fail "$text is empty"
  [[ $(grep -c $'\r$' "$text") == $(wc -l <"$text") && $(tail -c 2 "$text" | od -An -c | tr -d ' ') == '\r\n' ]] ||
    fail "$text has lines without CR LF"
done
[[ $(head -c 3 README.txt) == $'\xef\xbb\xbf' ]] || fail "README.txt lacks the UTF-8 byte order mark"
[[ $(head -n 1 README.txt) == $'\xef\xbb\xbf'"## 使用说明"$'\r' ]] || fail "README.txt does not begin with the user guide's heading"
grep -q '^### 脚本格式' README.txt || fail "README.txt lacks the script format"
! grep -q 'On a fresh Debian' README.txt || fail "README.txt holds more than the user guide"
grep -q '^MIT License' LICENSE.txt && grep -q 'The Tamsik developers' LICENSE.txt || fail "LICENSE.txt is not the MIT licence"
[[ $(head -c 2 tamsik.exe) == MZ ]] || fail "tamsik.exe is no Windows program"
cd "$repo"

# The same sources elsewhere: no path, time or order of this checkout may
# reach the archive.
mkdir "$work/copy"
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' file; do
  [[ -e $file ]] && printf '%s\0' "$file"
done | tar --null -T - -cf - | tar -xf - -C "$work/copy"
again=$(SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) "$work/copy/scripts/package.sh" | tail -n 1)
sha256sum "$archive" "$again"
cmp "$archive" "$again" || fail "two builds of the same sources differ"
echo "The release archive is complete and reproducible." >&2
