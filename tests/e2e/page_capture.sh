#!/usr/bin/env bash
# zolto_capture.exe with a stand-in browser (standin_browser.exe: it logs
# its arguments and writes a magenta PNG of the window size, or fails, or
# hangs with a helper process), registered in App Paths as msedge.exe in
# edge/, as chrome.exe in chrome/, or named by --browser=. Each row of the
# table either opens the launcher's menu on TARGET with
# "@browse=zolto_capture.exe,ARGS" (via menu), or runs zolto_capture.exe
# with the launcher's command line for ADDRESS (via run, through
# capture_run.exe, which passes the line on as written). Then:
#   - the picture: the stand-in's magenta, WxH, as the menu's last item
#     (menu) or as a 24-bit BMP at the output path (run); "none": the menu is
#     as high as without "@browse" and shows no magenta, or no output file;
#   - run rows: the exit status (0 written, 2 refused, 3 no browser,
#     4 ended at the time limit);
#   - the browser: which stand-in ran ("-": none), its last argument
#     ("=": ADDRESS as written), an empty profile in a temporary folder that
#     is gone afterwards, and nothing left running or half-written.
#   page_capture.sh EXE ZOLTO_CAPTURE_EXE
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
usage="usage: page_capture.sh EXE ZOLTO_CAPTURE_EXE"
zolto_setup "${1:?$usage}"
cp "${2:?$usage}" "$ZOLTO_TMP/zolto_capture.exe" || zolto_fail "test set-up: cannot copy $2"
for exe in edge/msedge chrome/chrome "named browser/msedge"; do
  mkdir -p "$ZOLTO_TMP/${exe%/*}" && cp "$ZOLTO_E2E_BIN/standin_browser.exe" "$ZOLTO_TMP/$exe.exe" ||
    zolto_fail "test set-up: no standin_browser.exe"
done
mkdir -p "$ZOLTO_TMP/out dir" "$ZOLTO_TMP/my pages"
printf '<html><body>page</body></html>\r\n' >"$ZOLTO_TMP/my pages/page.html"
html=$(zolto_winpath "$ZOLTO_TMP/my pages/page.html")
win=$(zolto_winpath "$ZOLTO_TMP")
magenta='r > 0.9 && g < 0.1 && b > 0.9'

# ---- The registry: which stand-ins App Paths names ----
app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'
zolto_at_exit "zolto_run 30 reg delete '$app_paths\\msedge.exe' /f; zolto_run 30 reg delete '$app_paths\\chrome.exe' /f"
registered=unknown

# register edge|chrome|both|none
register() {
  [ "$1" = "$registered" ] && return
  local exe folder
  for exe in msedge chrome; do
    folder=$([ "$exe" = msedge ] && echo edge || echo chrome)
    if [ "$1" = both ] || [ "$1" = "$folder" ]; then
      zolto_run 30 reg add "$app_paths\\$exe.exe" /ve /d "$win\\$folder\\$exe.exe" /f
    else
      zolto_run 30 reg delete "$app_paths\\$exe.exe" /f
    fi
  done
  registered=$1
}

# ---- What a row checks ----

# menu_on SYSTEM-LINE TARGET: the menu (two entries) on TARGET, a file or a
# web address, with SYSTEM-LINE in [system].
menu_on() {
  zolto_ini <<INI
[system]
@menu=100,100
$1
%end
[url]
recorder.exe | &Record
recorder.exe | &Second
%end
[\$.html]
recorder.exe | &Record
recorder.exe | &Second
%end
INI
  ZOLTO_MENU_WAIT=60 zolto_open_menu 60 "$row" "$2"
}
# Without "@browse": the height of a menu with no preview.
row=plain
menu_on "" "http://example.test/"
plain=$mh
zolto_escape "$menu"

# expect_menu_picture SIZE: the menu shows the magenta picture of SIZE
# (WxH) as its last item, or none. Closes the menu.
expect_menu_picture() {
  local shot found
  shot=$(zolto_screenshot "$ZOLTO_NAME.capture_$row")
  found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$magenta")
  if [ "$1" = none ]; then
    [ "${found#* }" -eq 0 ] && [ "$mh" -eq "$plain" ] ||
      zolto_fail "$row: the ${mw}x${mh} menu (without a preview $plain high) shows magenta: $found"
  else
    IFS='x+' read -r w h _ y <<<"${found% *}"
    [ "${w}x$h" = "$1" ] && [ "${found#* }" -eq $((w * h)) ] && [ $((mh - y - h)) -le 6 ] ||
      zolto_fail "$row: the ${mw}x${mh} menu shows magenta $found, expected a $1 last item"
  fi
  zolto_escape "$menu"
}

# expect_file_picture SIZE FILE: FILE is a BMP with a 40-byte header, 24-bit
# rows padded to 4 bytes, all magenta, of SIZE; or, for none, no file.
expect_file_picture() {
  local file=$2 found w h
  if [ "$1" = none ]; then
    [ ! -e "$file" ] || zolto_fail "$row: $file was written"
    return
  fi
  IFS=x read -r w h <<<"$1"
  found=$(identify -format '%m %wx%h' "$file" 2>&1)
  [ "$found" = "BMP3 $1" ] && [ "$(stat -c %s "$file")" -eq $((54 + (w * 3 + 3) / 4 * 4 * h)) ] ||
    zolto_fail "$row: $file is '$found' of $(stat -c %s "$file" 2>&1) bytes, expected BMP3 $1"
  [ "$(zolto_pixels "$file" "$1+0+0" "$magenta" | cut -d' ' -f2)" -eq $((w * h)) ] ||
    zolto_fail "$row: $file is not all magenta"
}

# expect_browser RAN ARGUMENT ADDRESS: only the stand-in in folder RAN was
# started, once, with ARGUMENT last (= for ADDRESS), headless, with a
# profile and screenshot in one temporary folder that is gone now.
expect_browser() {
  local dir log profile shot temp
  for dir in edge chrome "named browser"; do
    log="$ZOLTO_TMP/$dir/browser.log"
    [ "$dir" = "$1" ] || [ ! -e "$log" ] || zolto_fail "$row: the stand-in in $dir/ ran"
  done
  [ "$1" = - ] && return
  log="$ZOLTO_TMP/$1/browser.log"
  [ -s "$log" ] || zolto_fail "$row: the stand-in in $1/ did not run"
  [ "$(wc -l <"$log")" -eq 15 ] && [ "$(head -n 1 "$log")" = --headless ] ||
    zolto_fail "$row: not one headless start of 15 arguments: $(tr '\n' ' ' <"$log")"
  [ "$(tail -n 1 "$log")" = "$([ "$2" = = ] && echo "$3" || echo "$2")" ] ||
    zolto_fail "$row: the browser's last argument is [$(tail -n 1 "$log")]"
  profile=$(sed -n 's/^--user-data-dir=//p' "$log")
  shot=$(sed -n 's/^--screenshot=//p' "$log")
  temp=${profile%\\profile}
  [ "$temp" != "$profile" ] && [ "$shot" = "$temp\\page.png" ] ||
    zolto_fail "$row: profile [$profile] and screenshot [$shot] are not in one folder"
  temp=$(winepath -u "$temp" 2>/dev/null) && [ -n "$temp" ] || zolto_fail "$row: no Linux path for $temp"
  [ ! -e "$temp" ] || zolto_fail "$row: $temp is left behind"
}

# ---- The scenarios ----
# name        | browsers | mode | via  | ARGS                          | TARGET / ADDRESS                 | status | picture | ran          | last argument
rows=$(cat <<TABLE
web           | edge     | ok   | menu |                               | http://example.test/             | -      | 320x240 | edge         | =
html          | both     | ok   | menu | --window=800x600 --width=200  | $html                            | -      | 200x150 | edge         | file:///${html// /%20}
chrome        | chrome   | ok   | menu |                               | http://example.test/             | -      | 320x240 | chrome       | =
no_browser    | none     | ok   | menu |                               | http://example.test/             | -      | none    | -            | -
failing       | edge     | fail | menu |                               | http://example.test/             | -      | none    | edge         | =
hanging       | edge     | hang | menu |                               | http://example.test/             | -      | none    | edge         | =
named         | none     | ok   | run  | --browser="$win\\named browser\\msedge.exe" | https://h.test/a?b=--c&d=%22 | 0 | 320x240 | named browser | =
hang_limit    | edge     | hang | run  | --timeout=2                   | http://h.test/                   | 4      | none    | edge         | =
no_edge       | none     | ok   | run  |                               | http://h.test/                   | 3      | none    | -            | -
dashes        | edge     | ok   | run  |                               | --disable-web-security           | 2      | none    | -            | -
script        | edge     | ok   | run  |                               | javascript:alert(1)              | 2      | none    | -            | -
blank         | edge     | ok   | run  |                               | http://h.test/a b                | 2      | none    | -            | -
split_quotes  | edge     | ok   | run  |                               | http://h.test/a"--x"y            | 0      | 320x240 | edge         | http://h.test/a--xy
option_after  | edge     | ok   | run  |                               | http://h.test/" --no-sandbox "x  | 2      | none    | -            | -
TABLE
)

output="$ZOLTO_TMP/out dir/page 1.bmp"
shopt -s extglob
while IFS='|' read -r -a fields; do
  for i in "${!fields[@]}"; do  # the blanks around each field
    fields[i]=${fields[i]##+( )}
    fields[i]=${fields[i]%%+( )}
  done
  read -r row browsers mode via <<<"${fields[*]:0:4}"
  args=${fields[4]} address=${fields[5]} status=${fields[6]} picture=${fields[7]}
  ran=${fields[8]} last=${fields[9]}
  register "$browsers"
  for dir in edge chrome "named browser"; do
    rm -f "$ZOLTO_TMP/$dir/browser.log"
    echo "$mode" >"$ZOLTO_TMP/$dir/browser.mode"
  done
  SECONDS=0
  if [ "$via" = menu ]; then
    menu_on "@browse=zolto_capture.exe,$args" "$address"
    echo "$row: the menu came after $SECONDS s"
    expect_menu_picture "$picture"
  else
    rm -f "$output"
    ZOLTO_CAPTURE_LINE="\"$win\\zolto_capture.exe\" $args -o\"$(zolto_winpath "$output")\" -b -fbmp -u\"$address\"" \
      zolto_run 60 "$ZOLTO_E2E_BIN/capture_run.exe"
    have=$?
    [ "$have" -eq "$status" ] || zolto_fail "$row: zolto_capture.exe exited $have, expected $status"
    expect_file_picture "$picture" "$output"
    for _ in $(seq 1 50); do
      left=$(pgrep -af -- "$(basename "$ZOLTO_TMP")") || break
      sleep 0.1
    done
    [ -z "$left" ] || zolto_fail "$row: left running: $left"
    [ -z "$(ls "$ZOLTO_TMP/out dir" | grep -v '^page 1.bmp$')" ] ||
      zolto_fail "$row: left in the output folder: $(ls "$ZOLTO_TMP/out dir")"
  fi
  expect_browser "$ran" "$last" "$address"
  echo "ok ($SECONDS s): $row"
done <<<"$rows"
