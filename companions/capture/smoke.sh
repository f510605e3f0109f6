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

# capture LINE [WAIT_MS]: runs the command line; returns its exit status
# (124 when it was ended after WAIT_MS).
capture() {
  local status
  ZOLTO_CAPTURE_LINE=$1 ZOLTO_CAPTURE_WAIT_MS=${2:-30000} \
    timeout -k 5 60 wine "$runner" </dev/null >"$dir.log" 2>&1
  status=$?
  last_output=$(cat "$dir.log")
  return $status
}

# expect_picture FILE WIDTH HEIGHT: a BMP of that size with the 40-byte header
# (ImageMagick's BMP3), of 54 header bytes and 24-bit rows padded to 4 bytes.
expect_picture() {
  local file=$1 width=$2 height=$3 found size
  [ -f "$file" ] || { fail "$file not written ($last_output)"; return; }
  found=$(identify -format '%m %w %h' "$file" 2>&1)
  [ "$found" = "BMP3 $width $height" ] ||
    fail "$file: identify says '$found', expected BMP3 $width $height"
  size=$(stat -c %s "$file")
  [ "$size" -eq $((54 + (width * 3 + 3) / 4 * 4 * height)) ] || fail "$file: $size bytes"
  [ "$(head -c 2 "$file")" = BM ] || fail "$file does not start with BM"
}

# pixel FILE X Y: the colour at X,Y (0,0 at the top left) as ImageMagick reads it.
pixel() {
  convert "$1" -format "%[pixel:p{$2,$3}]" info: 2>&1
}

# The launcher's line without extra arguments: two blanks after the program.
capture "$program  -o$win\\page.bmp -b -fbmp -u\"file:///C:/x/page.html\"" ||
  fail "plain line: exit status $?, expected 0 ($last_output)"
expect_picture "$dir/page.bmp" 320 240
# The right way up: the bands at the top, the navy border at the corners.
top=$(pixel "$dir/page.bmp" 20 50)
[ "$top" = "srgb(255,0,0)" ] || [ "$top" = red ] || fail "top left band is $top, expected red"
corner=$(pixel "$dir/page.bmp" 319 239)
[ "$corner" = "srgb(0,0,128)" ] || [ "$corner" = navy ] || fail "corner is $corner, expected navy"

# A quoted program and output path with blanks, extra arguments, a size.
capture "\"$program\" -w 800 --size=33x10 -o\"$win\\with blank\\out file.bmp\" -b -fbmp -u\"http://example.test/a b?c=1\"" ||
  fail "quoted paths: exit status $?, expected 0 ($last_output)"
expect_picture "$dir/with blank/out file.bmp" 33 10

# --fail: exit 1, nothing written.
capture "$program --fail -o$win\\failed.bmp -b -fbmp -u\"http://h/\""
status=$?
[ "$status" -eq 1 ] || fail "--fail: exit status $status, expected 1"
[ ! -e "$dir/failed.bmp" ] || fail "--fail wrote a file"

# --garbage: exit 0, 100 bytes claiming 4000x4000.
capture "$program --garbage -o$win\\garbage.bmp -b -fbmp -u\"http://h/\"" ||
  fail "--garbage: exit status $?, expected 0"
[ "$(stat -c %s "$dir/garbage.bmp" 2>/dev/null)" = 100 ] || fail "--garbage: not 100 bytes"
[ "$(od -An -tu4 -j18 -N8 "$dir/garbage.bmp" 2>/dev/null | xargs)" = "4000 4000" ] ||
  fail "--garbage: the header does not claim 4000x4000"

# --hang=2: sleeps about 2 s, then exits 1 writing nothing; --hang: still
# running after 3 s (capture_run then ends it).
capture "$program --hang=2 -o$win\\hang.bmp -b -fbmp -u\"http://h/\""
status=$?
[ "$status" -eq 1 ] || fail "--hang=2: exit status $status, expected 1 ($last_output)"
ms=$(sed -nE 's/.* after ([0-9]+) ms.*/\1/p' <<<"$last_output")
[ "${ms:-0}" -ge 1900 ] || fail "--hang=2 ended after ${ms:-?} ms"
capture "$program --hang -o$win\\hang.bmp -b -fbmp -u\"http://h/\"" 3000
status=$?
[ "$status" -eq 124 ] || fail "--hang: exit status $status, expected 124 (still running)"
[ ! -e "$dir/hang.bmp" ] || fail "--hang wrote a file"

# Bad lines: exit 2, nothing written. A folder that does not exist: exit 3.
capture "$program -b -fbmp -u\"http://h/\""
status=$?
[ "$status" -eq 2 ] || fail "no -o: exit status $status, expected 2"
capture "$program -o$win\\bad.bmp -b -fbmp"
status=$?
[ "$status" -eq 2 ] || fail "no -u: exit status $status, expected 2"
capture "$program --size=0x5 -o$win\\bad.bmp -b -fbmp -u\"http://h/\""
status=$?
[ "$status" -eq 2 ] || fail "--size=0x5: exit status $status, expected 2"
[ ! -e "$dir/bad.bmp" ] || fail "a refused line wrote a file"
capture "$program -o$win\\missing\\x.bmp -b -fbmp -u\"http://h/\""
status=$?
[ "$status" -eq 3 ] || fail "missing folder: exit status $status, expected 3"

[ "$failures" -eq 0 ] && echo "zolto_capture.exe: all checks passed"
exit "$failures"
