# Runs the imgctl.dll smoke test under Wine: smoke.sh WINE_ENV_SCRIPT PROGRAM
# Makes the files in a fresh folder (a picture with ImageMagick, two BMP
# headers written here), then runs PROGRAM, which loads imgctl.dll from its
# own folder. The output goes through a file: a Wine process started on the
# way may outlive it and would hold a captured pipe open.
source "$1" || exit 1
dir=$(mktemp -d "${TMPDIR:-/tmp}/imgctl-smoke.XXXXXX")
trap 'rm -rf "$dir" "$dir.log"' EXIT
convert -size 800x600 gradient:red-blue -depth 8 "$dir/picture.png" ||
  { echo "FAIL: ImageMagick could not make the test picture"; exit 1; }
# bmp_head WIDTH HEIGHT: the 54 header bytes of a 24-bit BMP of that size.
bmp_head() {
  local size=$(((($1 * 3 + 3) / 4 * 4) * $2)) value i
  for value in 0x4D42:2 $((54 + size)):4 0:4 54:4 40:4 "$1":4 "$2":4 1:2 24:2 0:4 \
               "$size":4 0:4 0:4 0:4 0:4; do
    local number=$((${value%:*})) bytes=${value#*:}
    for ((i = 0; i < bytes; ++i)); do
      printf "\\$(printf %03o $(((number >> (8 * i)) & 255)))"
    done
  done
}
{ bmp_head 20000 1; head -c 60000 /dev/zero; } >"$dir/wide.bmp"  # valid, but too wide
{ bmp_head 4000 4000; head -c 46 /dev/zero; } >"$dir/hostile.bmp"
echo "not a picture" >"$dir/text.txt"
timeout -k 5 60 wine "$2" "$(zolto_winpath "$dir")" </dev/null >"$dir.log" 2>&1
status=$?
cat "$dir.log"
exit $status
