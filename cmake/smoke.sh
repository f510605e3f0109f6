# Runs a companion's smoke program under Wine: smoke.sh WINE_ENV_SCRIPT PROGRAM
# The program gets a fresh folder holding picture.png (800x600, red at the
# top, blue at the bottom), which the picture library decodes. The output goes
# through a file: a Wine process started on the way may outlive the program
# and would hold a captured pipe open.
source "$1" || exit 1
dir=$(mktemp -d "${TMPDIR:-/tmp}/zolto-smoke.XXXXXX")
trap 'rm -rf "$dir" "$dir.log"' EXIT
convert -size 800x600 gradient:red-blue -depth 8 "$dir/picture.png" ||
  { echo "FAIL: ImageMagick could not make the test picture"; exit 1; }
timeout -k 5 60 wine "$2" "$(zolto_winpath "$dir")" </dev/null >"$dir.log" 2>&1
status=$?
cat "$dir.log"
exit $status
