# Runs zolto_capture.exe under Wine with the command lines the launcher
# builds, and checks what it writes with ImageMagick:
#   smoke.sh WINE_ENV_SCRIPT CAPTURE_RUN_EXE ZOLTO_CAPTURE_EXE
# capture_run.exe passes each command line on exactly as written here.
source "$1" || exit 1
runner=$2
command -v identify >/dev/null || { echo "FAIL: ImageMagick's identify is needed"; exit 1; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/capture-smoke.XXXXXX")
trap 'rm -rf "$dir" "$dir.log"' EXIT
cp "$3" "$dir/zolto_capture.exe"
mkdir "$dir/with blank"
win=$(zolto_winpath "$dir")
program="$win\\zolto_capture.exe"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# capture STATUS LINE [WAIT_MS]: runs the command line and checks its exit
# status (124: still running after WAIT_MS, then ended).
capture() {
  local status
  ZOLTO_CAPTURE_LINE=$2 ZOLTO_CAPTURE_WAIT_MS=${3:-30000} \
    timeout -k 5 60 wine "$runner" </dev/null >"$dir.log" 2>&1
  status=$?
  last_output=$(cat "$dir.log")
  [ "$status" -eq "$1" ] || fail "exit status $status, expected $1: $2 ($last_output)"
}

# expect_picture FILE WIDTH HEIGHT: a BMP of that size with the 40-byte header
# (ImageMagick's BMP3), of 54 header bytes and 24-bit rows padded to 4 bytes.
expect_picture() {
  local file=$1 width=$2 height=$3 found size
  [ -f "$file" ] || { fail "$file not written"; return; }
  found=$(identify -format '%m %w %h' "$file" 2>&1)
  [ "$found" = "BMP3 $width $height" ] ||
    fail "$file: identify says '$found', expected BMP3 $width $height"
  size=$(stat -c %s "$file")
  [ "$size" -eq $((54 + (width * 3 + 3) / 4 * 4 * height)) ] || fail "$file: $size bytes"
}

# The launcher's line without extra arguments: two blanks after the program.
capture 0 "$program  -o$win\\page.bmp -b -fbmp -u\"file:///C:/x/page.html\""
expect_picture "$dir/page.bmp" 320 240
# The right way up and red (not blue): the first band at the top left.
top=$(convert "$dir/page.bmp" -format '%[pixel:p{20,50}]' info: 2>&1)
[ "$top" = "srgb(255,0,0)" ] || [ "$top" = red ] || fail "top left band is $top, expected red"

# A quoted program and output path with blanks, extra arguments, a size.
capture 0 "\"$program\" -w 800 --size=33x10 -o\"$win\\with blank\\out file.bmp\" -b -fbmp -u\"http://example.test/a b?c=1\""
expect_picture "$dir/with blank/out file.bmp" 33 10

# --fail, and a refused line: nothing written.
capture 1 "$program --fail -o$win\\failed.bmp -b -fbmp -u\"http://h/\""
capture 2 "$program --size=0x5 -o$win\\failed.bmp -b -fbmp -u\"http://h/\""
[ ! -e "$dir/failed.bmp" ] || fail "--fail or a refused line wrote a file"
# A folder that does not exist.
capture 3 "$program -o$win\\missing\\x.bmp -b -fbmp -u\"http://h/\""

# --garbage: 100 bytes claiming 4000x4000.
capture 0 "$program --garbage -o$win\\garbage.bmp -b -fbmp -u\"http://h/\""
[ "$(stat -c %s "$dir/garbage.bmp" 2>/dev/null)" = 100 ] || fail "--garbage: not 100 bytes"
[ "$(od -An -tu4 -j18 -N8 "$dir/garbage.bmp" 2>/dev/null | xargs)" = "4000 4000" ] ||
  fail "--garbage: the header does not claim 4000x4000"

# --hang=2: sleeps about 2 s, then exits 1 writing nothing; --hang: still
# running after 3 s (capture_run then ends it).
capture 1 "$program --hang=2 -o$win\\hang.bmp -b -fbmp -u\"http://h/\""
ms=$(sed -nE 's/.* after ([0-9]+) ms.*/\1/p' <<<"$last_output")
[ "${ms:-0}" -ge 1900 ] || fail "--hang=2 ended after ${ms:-?} ms"
capture 124 "$program --hang -o$win\\hang.bmp -b -fbmp -u\"http://h/\"" 3000
[ ! -e "$dir/hang.bmp" ] || fail "--hang wrote a file"

[ "$failures" -eq 0 ] && echo "zolto_capture.exe: all checks passed"
exit "$failures"
