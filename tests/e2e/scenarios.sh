# The end-to-end scenario table, run by run_scenarios.sh, in the verbs of
# wine-env.sh (edition, locale, ini, files, recorders, run, menu, keys, box,
# starts, ...). A row is a function named GROUP.WHAT, with the line that
# opens it saying what it checks. Each row starts in a fresh folder holding
# zolto5_c.exe and recorder.exe, under code page 932; @{NAME} is the Windows
# path of NAME in that folder. Groups: launch (programs started without a
# menu), menu (menus, keys, clicks, boxes), preview (what menus draw), fault
# (README, "What faults get").

# ---- helpers that some rows share

# says TEXT...: the console output holds each TEXT (@{} expanded).
says() {
  local t
  for t; do
    grep -qiF -- "$(x "$t")" "$out" || zolto_fail "the output lacks [$(x "$t")]:"$'\n'"$(cat "$out")"
  done
}

# holds DIR NAMES: the folder DIR holds exactly NAMES (blank-separated,
# sorted), its configurations all empty.
holds() {
  local have
  have=$(ls -A "$ZOLTO_TMP/$1" | sort | xargs)
  [ "$have" = "$2" ] || zolto_fail "$1 holds [$have], expected [$2]"
  [ -z "$(find "$ZOLTO_TMP/$1" -name '*.ini' -size +0c)" ] || zolto_fail "a configuration in $1 was written to"
}

# highlight: the highlighted item of the menu in $shot: sets hl_top and hl_h,
# its rows within the menu; fails when no item at least 12 px high is. (A
# strip 8 px wide: ImageMagick finds no box in a part 1 px wide.)
highlight() {
  local found
  found=$(zolto_pixels "$shot" "8x$mh+$((mx + 4))+$my" 'b > 0.9 && r < 0.4 && g > 0.4')
  IFS='x+' read -r _ hl_h _ hl_top <<<"${found% *}"
  ((${found#* } > 0 && hl_h >= 12)) || zolto_fail "no highlighted item in the menu ($found)"
}

# text_mask SHOT WxH+X+Y OUT: the dark pixels (text) of that part as white on
# black, cut to their box, into the image OUT; fails when there are none.
text_mask() {
  local found
  found=$(zolto_ink "$1" "$2")
  [ "${found#* }" -gt 0 ] 2>/dev/null &&
    convert "$1" -crop "$2" +repage -colorspace gray -threshold 50% -negate -trim +repage "$3" 2>/dev/null
}

# header_submenu NAME: for a preview in the submenu of the menu's header
# (its last item): keeps the header's text as header.png, opens the submenu
# (Up to the header, Right), takes the highlight off its first item (Down),
# and snaps NAME.
header_submenu() {
  snap "$1_header"
  text_mask "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))" "$ZOLTO_TMP/header.png" ||
    zolto_fail "no header text at the bottom of the menu"
  submenu Up Right
  zolto_keys "$sub" Down
  sleep 0.5
  snap "$1_submenu"
}

# first_item_reads HEIGHT TEXT: the submenu's first item (HEIGHT px) reads
# TEXT. The target is named after TEXT, so the header, in the same font,
# begins with it: the item's text mask and the header's, cut to the same
# width and trimmed, must match pixel for pixel.
first_item_reads() {
  local width
  text_mask "$shot" "$((sw - 6))x$1+$((sx + 3))+$((sy + 3))" "$ZOLTO_TMP/item.png" ||
    zolto_fail "the submenu's first item shows no text"
  width=$(identify -format '%w' "$ZOLTO_TMP/item.png")
  convert "$ZOLTO_TMP/header.png" -crop "${width}x1000+0+0" +repage -trim +repage "$ZOLTO_TMP/head.png" &&
    [ "$(identify -format '%wx%h' "$ZOLTO_TMP/head.png")" = "$(identify -format '%wx%h' "$ZOLTO_TMP/item.png")" ] &&
    [ "$(compare -metric AE "$ZOLTO_TMP/head.png" "$ZOLTO_TMP/item.png" null: 2>&1)" = 0 ] ||
    zolto_fail "the submenu's first item does not read \"$2\" (unlike the header naming it)"
}

# ---- launch

launch.direct_run() {  # one entry without parameter lines runs at once, quoted, in the program's folder
  ini '[$.txt]' 'recorder.exe | &Record' '%end'
  files "my file.txt"
  run "@{my file.txt}"
  starts '"@{my file.txt}"'
  started_in '@{}'
}

launch.association() {  # a target no section takes opens with its association
  recorders assoc
  associate zt1 assoc/recorder.exe
  files "doc.$ext"
  ini '[$.txt]' 'recorder.exe | &Record' '%end'
  run "@{doc.$ext}"
  starts -d assoc "\"@{doc.$ext}\""
  starts
}

launch.one_by_one() {  # "/#y": each target alone through the selection, no menu; "@dist=400,200" spaces the starts
  recorders two three
  ini <<'INI'
[system]
@dist=400,200
%end
[$.txt]
recorder.exe | &One
@{two/recorder.exe} | &Two
@{three/recorder.exe} | T&hree
%end
INI
  files a.txt b.txt c.txt
  run /#y @{a.txt} @{b.txt} @{c.txt}
  starts @{a.txt} @{b.txt} @{c.txt}
  starts -d two
  starts -d three
  # Without delays the starts come 50-80 ms apart; 16 ms is the clock's step.
  local at
  mapfile -t at < <(zolto_records | cut -f3)
  ((at[1] - at[0] >= 400 - 16 && at[2] - at[1] >= 200 - 16)) ||
    zolto_fail "the starts came $((at[1] - at[0])) and $((at[2] - at[1])) ms apart, expected 400 and 200"
}

launch.unicode_names() {  # names the code page cannot hold reach the entry as the very file, never a best-fit look-alike nor rec_p.exe planted in the current folder
  # (Wine gives every long name an ASCII short name: the refusal of a name
  # without one is pinned by the unit tests alone.)
  ini '[$.txt]' 'rec_p.exe | &Planted' 'recorder.exe | &Record' '%end'
  local row loc how file lookalike folder
  # locale|how|file|what best fit would name instead
  for row in "ja|line|café/Café.txt|café/Cafe.txt" "ja|files|yen/sub/a¥..¥..¥b.txt|yen/b.txt" \
    "ja|text|emoji/photo 😀.txt|" "ja|line|emoji2/😀 and ”quotes”.txt|" "en|line|kanji/表示.txt|" \
    "en|files|kanji2/表示 😀.txt|"; do
    IFS='|' read -r loc how file lookalike <<<"$row"
    folder=$(dirname "$file")
    files "$file" ${lookalike:+"$lookalike"}
    recorders "$folder/rec_p.exe"
    locale "$loc"
    cd "$ZOLTO_TMP/$folder" || exit 1
    case $how in
      line) run "@{$file}" ;;
      files) clip "@{$file}" && run /#c ;;
      text) clip -t "@{$file}" && run /#c ;;
    esac
    starts -r "@{$file}"
    [ -z "$(zolto_records "$ZOLTO_TMP/$folder")" ] || zolto_fail "$row: the planted rec_p.exe ran"
  done
  cd "$ZOLTO_TMP" && locale ja
  menu_on café/Café.txt  # the header names the file as it is: a screenshot to look at
  snap header
  escape
}

launch.renamed() {  # a renamed copy reads the configuration of its own name, else the edition's, else creates an empty one of its own
  local case
  for case in "own mylaunch.ini" "fallback zolto5_c.ini" "neither mylaunch.ini" "basic zolto5.ini"; do
    set -- $case
    edition "$([ "$1" = basic ] && echo basic || echo full)" "$1/mylaunch.exe"
    [ "$1" = neither ] || : >"$ZOLTO_TMP/$1/$2"
    menu
    escape
    holds "$1" "mylaunch.exe $2"
  done
}

launch.checker() {  # zolto5_check.exe explains the example's menu for a text file; warns (1); refuses a missing file (2); starts nothing
  edition check
  cp "$ZOLTO_EXAMPLE_INI" "$ZOLTO_TMP/zolto5_c.ini" &&
    cp "$ZOLTO_BIN/BREGEXP.DLL" "$ZOLTO_BIN/zolto_capture.exe" "$ZOLTO_TMP/" || zolto_fail "set-up"
  recorders mspaint.exe  # the example names Paint, which Wine lacks
  files notes.txt
  console 0 @{zolto5_c.ini} @{notes.txt}
  says "targets: 1" "[file]  -> matches, taken" '[!/\.(png|jpe?g|gif|bmp)$/i]  -> does not match, not taken' \
    "decision: show the menu: 5 program entries" 'notepad.exe with /p "@{notes.txt}"'
  ini '[$.txt]' 'recorder.exe | &Record' '%end' '[file' 'missing.exe | Missing'
  console 1 @{zolto5_check.ini} @{notes.txt}
  says 'decision: run at once the only program entry: entry 1000 "&Record"' \
    "would start @{recorder.exe} with @{notes.txt}" '[program-not-found] program "missing.exe" cannot be found' \
    "[unreachable]"
  console 2 @{none.ini}
  [ ! -e "$ZOLTO_TMP/none.ini" ] || zolto_fail "the checker created none.ini"
  starts
}

launch.resources() {  # each edition's resources: the empty OPTION dialog, icons MYICON and MYSYS, the manifest, the version
  local exe name rc want
  for exe in "$ZOLTO_FULL_EXE" "$ZOLTO_BASIC_EXE"; do
    name=$(basename "$exe" .exe)
    rc=$("$ZOLTO_WINDRES" -i "$exe" -O rc | grep -v '^  0x' | tr -d '\t') || zolto_fail "$ZOLTO_WINDRES cannot read $exe"
    grep -A3 '^"OPTION" DIALOG' <<<"$rc" | paste -sd ' ' | grep -qxF '"OPTION" DIALOG 0, 0, 0, 0 STYLE 0x80000080 BEGIN END' ||
      zolto_fail "$name: OPTION is not the empty modal frame: $(grep -A5 '^"OPTION"' <<<"$rc")"
    for want in '"MYICON" 14' '"\020\020\000\000", 1, 32' '"\040\040\000\000", 1, 32' '"\060\060\000\000", 1, 32' \
      '"MYSYS" 14' '0, 1, 1, /* Has 1 elements.  */' '"\040\040\020\000", 1, 4' \
      'FILEVERSION 0, 1, 0, 0' 'PRODUCTVERSION 0, 1, 0, 0' "\"ProductName\", \"$name\"" \
      "\"FileDescription\", \"$name\"" 'level=""asInvoker""' 'Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' \
      '>true/pm<' PerMonitorV2 '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
      grep -qF -- "$want" <<<"$rc" || zolto_fail "$name: the resources lack [$want]"
    done
  done
}

# ---- menu

menu.targetless() {  # no target: the target-less menu, whose &Version names the edition
  ini '[$.txt]' 'recorder.exe | &First' '%end'
  menu
  about
  edition basic
  menu
  about
}

menu.choose() {  # "@menu=center" centres the menu on the screen, "/#m=300,400" places it; Return runs the first entry for the first target, Shift+Return and a right click for all
  recorders two
  ini <<'INI'
[system]
@menu=center
%end
[$.txt]
recorder.exe | &First
@{two/recorder.exe} | &Second
%end
INI
  files a.txt b.txt c.txt
  local targets=(@{a.txt} @{b.txt} @{c.txt}) half=$(($(xdotool getdisplaygeometry | cut -d' ' -f1) / 2))
  menu "${targets[@]}"
  ((mx + mw / 2 >= half - 2 && mx + mw / 2 <= half + 2)) ||
    zolto_fail "the ${mw}x$mh menu stands at $mx,$my, not centred on $((2 * half))"
  escape
  menu /#m=300,400 "${targets[@]}"
  at 300 400
  keys Return
  finish
  starts @{a.txt}
  menu /#m=300,400 "${targets[@]}"
  keys shift+Return
  zolto_zt unshift  # an X release after the menu closed reaches no Wine window
  finish
  starts "${targets[@]}"
  menu /#m=300,400 "${targets[@]}"
  click 30 11 3
  finish
  starts "${targets[@]}"
  starts -d two
}

menu.focus_lost() {  # another program's window taking the focus ends the menu: nothing starts, the program exits
  local notepad
  ini '[$.txt]' 'recorder.exe | &First' 'recorder.exe | &Second' '%end'
  files a.txt
  menu @{a.txt}
  wine notepad </dev/null >>"$ZOLTO_WINE_LOG" 2>&1 &
  notepad=$!
  zolto_at_exit "kill $notepad 2>/dev/null"
  zolto_new_window 30 "$before" '.+' "$menu" >/dev/null || zolto_fail "Notepad showed no window"
  finish
  starts
  kill "$notepad" && wait "$notepad"
}

menu.submenu() {  # an entry of parameter lines opens a submenu right of the menu; its second item runs the entry with that line
  ini <<'INI'
[system]
@menu=100,100
%end
[$.txt]
recorder.exe | &Record
>-p "%P" | Param one
>-q | Param two
+
recorder.exe | &Second
-
recorder.exe | &Third
%end
INI
  files shown.txt
  menu @{shown.txt}
  at 100 100
  submenu Right
  snap submenu
  ((sx > mx)) || zolto_fail "the submenu stands at $sx,$sy, not right of the menu"
  zolto_keys "$sub" Down Return
  finish
  starts -q
}

menu.param_dialog() {  # "%X" asks in a box at the menu's place: the typed text takes its place; Escape starts nothing
  ini '[system]' '@menu=200,150' '%end' '[$.txt]' 'recorder.exe | R' '>-x %X | Ask' '%end'
  files a.txt
  menu @{a.txt}  # the box has no name either; its X window may start inside its frame
  ((mx >= 200 && mx <= 205 && my >= 150 && my <= 155)) ||
    zolto_fail "the box stands at $mx,$my, not at the menu's place 200,150"
  typed "typed words"
  snap typed
  keys Return
  finish
  starts "-x typed words"
  menu @{a.txt}
  escape
}


# ---- preview

# first_thing TOP HEIGHT: in the item whose rows start at TOP within the menu
# in $shot, the first run of columns, left to right, holding pixels other
# than the item's background: "WIDTH HEIGHT COUNT NAVY", the box around
# them, their number and how many of them are navy.
first_thing() {
  local top=$(($1 + my)) height=$2 left=$((mx + 4)) width=$((mw - 8)) bg start end found navy
  bg=$(convert "$shot" -format "%[pixel:p{$((left + 1)),$((top + height / 2))}]" info:)
  read -r start end <<<"$(convert "$shot" -crop "${width}x${height}+$left+$top" +repage -fuzz 8% \
    -transparent "$bg" -alpha extract -scale "${width}x1!" -depth 8 gray:- | od -An -tu1 -v |
    tr -s ' ' '\n' | grep -v '^$' | awk '$1 > 0 { if (!s) s = NR; e = NR; next } s { exit } END { print s - 1, e }')"
  [ "$start" -ge 0 ] 2>/dev/null || { echo "0 0 0 0"; return; }
  local crop="$((end - start))x${height}+$((left + start))+$top"
  found=$(convert "$shot" -crop "$crop" +repage -fuzz 8% -transparent "$bg" -alpha extract \
    -format '%@ %[fx:round(mean*w*h)]' info: 2>/dev/null)
  navy=$(zolto_pixels "$shot" "$crop" 'r < 0.1 && g < 0.1 && b > 0.35 && b < 0.6')
  IFS='x+' read -r w h _ _ <<<"${found% *}"
  echo "$w $h ${found#* } ${navy#* }"
}

# is_icon W H COUNT: a filled thing at least 12 px high and wide (a letter is
# about 10 px high, with 50 pixels at most).
is_icon() { [ "$1" -ge 12 ] && [ "$2" -ge 12 ] && [ "$3" -ge 75 ]; }

preview.icons() {  # "@icon": an icon left of each label: the shell's for recorder.exe, the navy system icon for "@system", the target's for the header
  local look row1 row2 header
  for look in "" "@icon"; do
    ini '[system]' '@menu=100,100' "$look" '%end' '[$.txt]' 'recorder.exe | &Record' '@system | &Open' '%end'
    files shown.txt
    menu @{shown.txt}
    snap "icons${look:+_on}"
    highlight  # the first item, as the menu opens
    row1=$(first_thing "$hl_top" "$hl_h")
    row2=$(first_thing $((hl_top + hl_h)) "$hl_h")
    header=$(first_thing $((mh - 3 - hl_h)) "$hl_h")
    escape
    # shellcheck disable=SC2086
    if [ -z "$look" ]; then
      ! is_icon $row1 && ! is_icon $row2 || zolto_fail "without \"@icon\" an item starts with an icon-like thing" \
        "($row1; $row2): the look cannot tell icons from letters"
    else
      is_icon $row1 && is_icon $row2 && is_icon $header ||
        zolto_fail "not every item shows an icon (recorder.exe: $row1; @system: $row2; header: $header)"
      [ "${row2##* }" -ge 20 ] || zolto_fail "the @system item's icon is not the navy system icon ($row2)"
    fi
  done
}

# gradient X Y W H: the pixels of the red-to-blue gradient (no green, red and
# blue adding up to full; the menu has none otherwise) in that part of $shot.
gradient() { zolto_pixels "$shot" "${3}x${4}+$1+$2" 'g < 0.15 && r + b > 0.8'; }

# expect_picture X Y W H: the gradient in that part of $shot is one filled
# rectangle of about 201x151 that ends at the part's bottom (the last item),
# red at the top and blue at the bottom as the file; sets pic_top, its top
# within the part.
expect_picture() {
  local found w h x below red blue
  found=$(gradient "$@")
  IFS='x+' read -r w h x pic_top <<<"${found% *}"
  ((${w:-0} >= 199 && w <= 203 && h >= 149 && h <= 153)) ||
    zolto_fail "the picture covers ${found% *} of the $3x$4 menu, expected about 201x151"
  ((${found#* } >= w * h * 95 / 100)) || zolto_fail "only ${found#* } of the ${found% *} box are picture pixels"
  below=$(($4 - pic_top - h))
  ((below >= 0 && below <= 6)) || zolto_fail "the picture (${found% *}) is not the last item of the $3x$4 menu"
  red=$(zolto_pixels "$shot" "${w}x4+$(($1 + x))+$(($2 + pic_top))" 'r > 0.8')
  blue=$(zolto_pixels "$shot" "${w}x4+$(($1 + x))+$(($2 + pic_top + h - 4))" 'b > 0.8')
  ((${red#* } >= 4 * w * 9 / 10 && ${blue#* } >= 4 * w * 9 / 10)) || zolto_fail "the picture is not red at the top, blue at the bottom"
}

preview.picture() {  # imgctl.dll beside the program: "@pic=1,201" shows the 800x600 picture at 201x151 (rows padded to 4 bytes), upright, below the header; "@pic=1,201,2" in its submenu
  local jpg="( 800 x 600 ).jpg" ink found  # named after the submenu's caption, which the header then draws too
  cp "$ZOLTO_BIN/imgctl.dll" "$ZOLTO_TMP/" && convert -size 800x600 gradient:red-blue "PNG24:$ZOLTO_TMP/g.png" &&
    convert "$ZOLTO_TMP/g.png" "$ZOLTO_TMP/$jpg" || zolto_fail "set-up: no imgctl.dll or pictures"
  menu_on g.png "@pic=1,201"
  snap below
  expect_picture "$mx" "$my" "$mw" "$mh"
  ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + pic_top - 20))")
  ((${ink#* } > 20)) || zolto_fail "no header text above the picture ($ink)"
  escape
  menu_on "$jpg" "@pic=1,201,2"
  header_submenu picture
  found=$(shot=$ZOLTO_E2E_ARTIFACTS/$ZOLTO_ROW.picture_header.png gradient "$mx" "$my" "$mw" "$mh")
  [ "${found#* }" -eq 0 ] || zolto_fail "the menu itself shows picture pixels ($found)"
  expect_picture "$sx" "$sy" "$sw" "$sh"
  ((pic_top >= 14 && pic_top <= 30)) || zolto_fail "the picture starts $pic_top px into the submenu: no caption above"
  first_item_reads $((pic_top - 3)) "( 800 x 600 )"
  escape "$sub" "$menu"
}

preview.text() {  # "@text=1,300,10": lines below the header, fixed pitch, the widest whole; "...,12,2": a label and 12 px lines in its submenu
  local plain lh top w1 x1 n1 w2 x2 n2 n3 n4 cell10 shift10 label tenth
  locale en  # this prefix draws a fixed-pitch Shift-JIS font as empty boxes
  printf 'abcdefghi\r\n\tWWWWWW\r\n\r\nlast line' >"$ZOLTO_TMP/lines.txt"
  seq -f 'line %02g' 1 40 | sed 's/$/\r/' >"$ZOLTO_TMP/long.txt"
  menu_on lines.txt
  plain=$mh
  escape
  menu_on lines.txt "@text=1,300,10"
  snap below
  lh=$(((mh - plain) / 4))
  ((mh - plain == 4 * lh && lh >= 8 && lh <= 24)) || zolto_fail "the menu is $mh px high, without \"@text\" $plain: not four lines more"
  top=$((my + mh - 3 - 4 * lh))
  line() { zolto_ink "$shot" "$((mw - 6))x$lh+$((mx + 3))+$((top + ($1 - 1) * lh))" | tr 'x+' '  '; }
  read -r w1 _ x1 _ n1 <<<"$(line 1)"
  read -r w2 _ x2 _ n2 <<<"$(line 2)"
  read -r _ _ _ _ n3 <<<"$(line 3)"
  read -r _ _ _ _ n4 <<<"$(line 4)"
  ((n1 > 0 && n2 > 0 && n4 > 0 && n3 == 0)) || zolto_fail "dark pixels in lines 1 to 4: $n1, $n2, $n3 (empty), $n4"
  cell10=$((w1 * 10 / 9))  # "abcdefghi": nine characters, in tenths of a pixel
  shift10=$(((x2 - x1) * 10))
  ((cell10 >= 40 && shift10 >= cell10 * 35 / 10 && shift10 <= cell10 * 45 / 10)) ||
    zolto_fail "the tabbed line starts $((x2 - x1)) px right of the first, not four characters of $((cell10 / 10)) px"
  (((x2 + w2 - x1 - w1) * 10 >= cell10 / 2)) ||
    zolto_fail "the widest line (a tab and WWWWWW) does not end a character right of \"abcdefghi\": it is cut off"
  escape
  menu_on long.txt "@text=1,300,10,0,Courier New,12,2"
  [ "$mh" -eq "$plain" ] || zolto_fail "with the text in a submenu the menu is $mh px high, without $plain"
  header_submenu text
  label=$((sh - 6 - 120))
  ((label >= 12 && label <= 30)) || zolto_fail "the submenu is $sh px high: not a label and ten 12 px lines"
  tenth=$(zolto_ink "$shot" "$((sw - 6))x12+$((sx + 3))+$((sy + sh - 15))")
  ((${tenth#* } > 0)) || zolto_fail "the submenu's last 12 px show no text ($tenth)"
  escape "$sub" "$menu"
}

# shell_menu CONTEXT-LINE [ADD-LIST]: the menu on doc.txt with CONTEXT-LINE in
# [system] and ADD-LIST in an "[add]" section; item is an item's height.
shell_menu() {
  files doc.txt
  menu_on doc.txt "$1" "${2:+[add]
$2
%end}"
  snap shell
  highlight
  item=$hl_h
}

preview.shell_menu() {  # "@context=1": an item opening the shell's items, "@context=2" merges them; one kept by "[add]" runs
  local plain with_item submenu sheet
  locale en  # the shell's item names and the property sheet's caption in English
  shell_menu ""
  plain=$mh
  escape
  shell_menu "@context=1"
  with_item=$mh
  ((with_item > plain && with_item - plain < 2 * item)) || zolto_fail "with \"@context=1\" the menu is $mh px high, without $plain"
  submenu Down Down Right
  ((sx > mx && sh >= 4 * item)) || zolto_fail "the shell's submenu (${sw}x$sh at $sx,$sy) is not right of the menu, or small"
  submenu=$sh
  escape "$sub" "$menu"
  shell_menu "@context=2"  # the submenu's items, less its 3 px frames, in place of the item
  ((mh - with_item == submenu - 6 - item)) ||
    zolto_fail "with \"@context=2\" the menu is $mh px high, not $with_item less $item plus $((submenu - 6))"
  escape
  shell_menu "@context=1" "&prop"  # Properties alone; Return opens the file's property sheet
  submenu Down Down Right
  [ "$sh" -eq $((item + 6)) ] || zolto_fail "the submenu is $sh px high: not one item"
  zolto_keys "$sub" Return
  sheet=$(zolto_new_window 30 "$before" "Properties for doc\\.txt") ||
    zolto_fail "Return on Properties opened no property sheet ($(zolto_zt wintext | tr '\n\t' '| '))"
  zolto_zt wintext | grep -F "Properties for doc.txt" | grep -qF "$(x @{})" ||
    zolto_fail "the property sheet does not name doc.txt's folder"
  escape "$sheet"
  [ -f "$ZOLTO_TMP/doc.txt" ] || zolto_fail "doc.txt is gone"
}

# ---- fault

fault.config_file() {  # a configuration held open without sharing, its bytes locked, a folder of its name, a file over 64 MiB, "/#s= x" (the program's folder): "設定ファイル異常", nothing runs; free, of 20 MB whose section comes last, or 2 MB of noise before it: the entry runs
  local how file=$ZOLTO_TMP/zolto5_c.ini section=$'[$.zt]\r\nrecorder.exe | &Record\r\n%end\r\n'
  ini '[$.zt]' 'recorder.exe | &Record' '%end'
  files a.zt
  for how in deny lock; do
    hold "$how" @{zolto5_c.ini}
    box zolto5_c 設定ファイル異常 @{a.zt}
    unhold
    dismiss
  done
  run @{a.zt}
  starts @{a.zt}
  { yes "$(printf '%099d' 0 | tr 0 ';')" | head -n 200000; printf '%s' "$section"; } >"$file"
  run @{a.zt}
  starts @{a.zt}
  { head -c 2000000 /dev/urandom | tr -d '\000['; printf '\r\n%s' "$section"; } >"$file"
  run @{a.zt}
  starts @{a.zt}
  truncate -s 65M "$file"
  box zolto5_c 設定ファイル異常 @{a.zt}
  dismiss
  rm "$file" && files zolto5_c.ini/
  box zolto5_c 設定ファイル異常 @{a.zt}
  dismiss
  edition basic
  box エラー 設定ファイル異常 "/#s=" x  # Wine joins the arguments: the tail is "/#s= x"
  dismiss
}

fault.path_list() {  # "@path=" naming a missing list file: the entry only the list finds is left out, silently; with the list it is offered
  recorders tools/rec2.exe
  ini '[system]' '@path=@{tools.txt}' '%end' '[$.zt]' 'rec2.exe | &Two' 'recorder.exe | &One' '%end'
  files a.zt
  run @{a.zt}
  starts @{a.zt}
  printf 'path=%s\r\n' "$(x @{tools})" >"$ZOLTO_TMP/tools.txt"
  menu @{a.zt}
  escape
  starts -d tools
}

fault.bregexp() {  # BREGEXP.DLL beside the program takes a.ZT for "[!/\.zt$/i]", not b.zz; without BMatch: no header matches, no message; without BRegfree: BMatch decides; none beside the program (one planted in the current folder, the target's) or no library: the message, once
  ini '[!/\.zt$/i]' 'recorder.exe | R' '>regex | &Regex' '%end' '[.*]' 'recorder.exe | R' '>other | &Other' '%end'
  files work/a.ZT work/b.zz
  cp "$ZOLTO_E2E_BIN/bregexp_no_bregfree.dll" "$ZOLTO_TMP/work/BREGEXP.DLL" || zolto_fail "set-up: cannot plant"
  cd "$ZOLTO_TMP/work" || exit 1
  box zolto5_c 正規表現ライブラリが使用できません @{work/a.ZT}
  dismiss
  cp "$ZOLTO_BIN/BREGEXP.DLL" "$ZOLTO_TMP/" || zolto_fail "set-up: no BREGEXP.DLL"
  run @{work/a.ZT}
  starts regex
  run @{work/b.zz}
  starts other
  cp "$ZOLTO_E2E_BIN/bregexp_no_bmatch.dll" "$ZOLTO_TMP/BREGEXP.DLL"
  run @{work/a.ZT}
  starts other
  cp "$ZOLTO_E2E_BIN/bregexp_no_bregfree.dll" "$ZOLTO_TMP/BREGEXP.DLL"  # its BMatch matches all
  run @{work/b.zz}
  starts regex
  printf 'not a library\r\n' >"$ZOLTO_TMP/BREGEXP.DLL"
  box zolto5_c 正規表現ライブラリが使用できません @{work/a.ZT}
  dismiss
}

fault.imgctl() {  # imgctl.dll missing beside the program (one planted in the current folder, the target's), without DIBto24Bit or GetDIB, or no library: the header alone, no message; whole, its green square
  local plain variant green ink
  files work/
  convert -size 40x30 xc:gray "PNG24:$ZOLTO_TMP/work/p.png" &&
    cp "$ZOLTO_E2E_BIN/imgctl_stub.dll" "$ZOLTO_TMP/work/imgctl.dll" || zolto_fail "set-up: no picture or stand-in"
  cd "$ZOLTO_TMP/work" || exit 1
  for variant in none stub no_to24bit no_getdib junk; do
    case $variant in
      none) ;;
      junk) printf 'not a library\r\n' >"$ZOLTO_TMP/imgctl.dll" ;;
      *) cp "$ZOLTO_E2E_BIN/imgctl_$variant.dll" "$ZOLTO_TMP/imgctl.dll" ;;
    esac
    menu_on work/p.png "@pic=1,200"
    snap "$variant"
    [ "$(zolto_new_windows "$before")" = "$menu" ] || zolto_fail "$variant: another window came with the menu"
    green=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" 'g > 0.9 && r < 0.1 && b < 0.1')
    [ "$variant" = none ] && plain=$mh
    if [ "$variant" = stub ]; then  # a 100x100 green square
      ((mh - plain >= 98 && mh - plain <= 102 && ${green#* } >= 9500)) ||
        zolto_fail "with the stand-in the menu is $mh px high (without $plain), green $green: not its square"
    else
      ((mh == plain && ${green#* } == 0)) || zolto_fail "$variant: the menu is $mh px high (not $plain), green $green"
      ink=$(zolto_ink "$shot" "$((mw - 6))x20+$((mx + 3))+$((my + mh - 23))")
      ((${ink#* } > 20)) || zolto_fail "$variant: no header text ends the menu ($ink)"
    fi
    escape
  done
}

fault.companion_calls() {  # BREGEXP.DLL and imgctl.dll called as another program may (dll_calls.c), where the launcher's own calls show nothing
  cp "$ZOLTO_BIN/BREGEXP.DLL" "$ZOLTO_BIN/imgctl.dll" "$ZOLTO_E2E_BIN/dll_calls.exe" "$ZOLTO_TMP/" &&
    convert -size 40x30 xc:gray "PNG24:$ZOLTO_TMP/picture.png" || zolto_fail "set-up: no companions or picture"
  ZOLTO_EXE=$ZOLTO_TMP/dll_calls.exe
  console 0 @{}
}

# traced NAME IMAGES: a run on NAME in the row's folder with Wine's process
# trace on starts exactly the programs IMAGES (an extended regex of their
# Windows paths, in lower case, joined by blanks), less the target itself,
# which Wine's shell first tries as a program. A folder opens in an
# explorer.exe, which is then ended. A run that Wine could not start at all
# is made once more.
traced() {
  local target pid images try work
  target=$(x "@{$1}")
  work=$(x @{work} | sed 's/\\/\\\\/g')  # as the trace writes it
  for try in 1 2; do
    : >"$ZOLTO_WINE_LOG"
    WINEDEBUG=+process zolto_start 90 "$ZOLTO_EXE" "$target"
    [ -d "$ZOLTO_TMP/$1" ] || break
    for _ in $(seq 1 300); do
      pid=$(pgrep -f -- "explorer\.exe.*$(basename "$ZOLTO_TMP")" | head -n 1) && break 2
      sleep 0.2
    done
    [ "$try" = 1 ] && grep -qF 'failed to map the shared user data' "$ZOLTO_WINE_LOG" ||
      zolto_fail "no explorer.exe opened $target"
    zolto_wait 60 >/dev/null
  done
  [ -z "${pid:-}" ] || kill "$pid"
  finish 60
  starts -d work
  starts -d work/sub
  images=$(grep -F 'NtCreateUserProcess' "$ZOLTO_WINE_LOG" | grep -F -- "$work" |
    sed -nE 's/.* image L"([^"]*)".*/\1/p' | sed 's/\\\\/\\/g' | sort -u | grep -vxF -- "$target" | tr 'A-Z\n' 'a-z ')
  [[ ${images% } =~ ^($2)$ ]] || zolto_fail "$1 started [$images], expected $2"
}

fault.planted_programs() {  # "@system" on a folder, a folder's association, a file without one: only the system's explorer.exe and rundll32.exe start, not the copies in the current folder (the target's)
  recorders work/explorer.exe work/rundll32.exe work/sub/explorer.exe work/sub/rundll32.exe
  files work/doc.zt9
  cd "$ZOLTO_TMP/work" || exit 1
  ini '[folder]' '@system | &Open' '%end'
  traced work/sub 'c:\\windows\\explorer\.exe'
  ini '[$.txt]' 'recorder.exe | &Record' '%end'
  traced work/sub '(c:\\windows\\[^ ]+ )*c:\\windows\\(system32\\)?explorer\.exe( c:\\windows\\[^ ]+)*'
  traced work/doc.zt9 'c:\\windows\\system32\\rundll32\.exe'
}

fault.shell_characters() {  # names holding & ^ ( ) , ; = and blanks reach a batch program as one argument each; with % or ! no batch program starts; 表 and ソ (second byte 0x5C in code page 932) as files and folders arrive whole, folders with one trailing backslash
  printf '@"%%~dp0recorder.exe" %%*\r\n' >"$ZOLTO_TMP/echo.cmd"
  allow='|.*\\echo\.cmd'  # the consoles of echo.cmd, named after it or not yet named
  ini '[$.zt][folder]' 'echo.cmd | &Echo' '%end' '[$.zr]' 'recorder.exe | &Record' '%end'
  local safe=('a&b' 'c^d' 'e(f)g' 'h i' 'n,o;p=q' 'r & (s) ^t') expanding=('j!k' 'l%OS%m' '%PATH%') n all=() want=()
  for n in "${safe[@]/%/.zt}" "${expanding[@]/%/.zt}" "${expanding[@]/%/.zr}"; do
    files "t/$n"
    all+=("@{t/$n}")
  done
  for n in "${safe[@]/%/.zt}" "${expanding[@]/%/.zr}"; do want+=("\"@{t/$n}\""); done
  files t/表.zt 't/ソ 表(1)&.zt' t/ソ/ t/表/
  run /#y "${all[@]}" @{t/表.zt} @{t/ソ} '@{t/ソ 表(1)&.zt}' @{t/表}
  starts -s "${want[@]}" @{t/表.zt} '"@{t/ソ 表(1)&.zt}"' '@{t/ソ}\' '@{t/表}\'  # a batch program may pass its arguments on out of order
  ini '[$.zt]' 'echo.cmd | E' '>%M | &List' '%end'  # a bare list: one start, each name one quoted item
  run "${all[@]:0:${#safe[@]}}"
  starts "${want[*]:0:${#safe[@]}}"
}

fault.clipboard_held() {  # "/#c" while another program holds the clipboard open: nothing, no window; once it is free, the run works; a listed name of 260 characters or more is left out, not the names after it
  local long
  long=$(printf 'd%.0s' {1..150})/$(printf 'f%.0s' {1..120}).zt
  ini '[$.zt]' 'recorder.exe | &Record' '%end'
  files a.zt "$long"
  clip @{a.zt}
  hold clip
  run /#c
  starts
  unhold
  run /#c
  starts @{a.zt}
  clip "@{$long}" @{a.zt}
  run /#c
  starts @{a.zt}
}

# ---- web previews

# navy: the border of capture_pattern.exe's test pattern.
navy='r < 0.1 && g < 0.1 && b > 0.4 && b < 0.6'

fault.capture() {  # "@browse=capture_pattern.exe": its 320x240 pattern, eight colour bands in order, is the menu's last item, below the header; a capture program that fails, writes 100 bytes claiming 4000x4000, crashes mid-write or hangs (ended at 30 s): the menu without a preview
  local plain mode size bitmap=$ZOLTO_TMP/temp/zolto5_c.bmp found w h x y band px py seen
  local colours=(255,0,0 0,255,0 0,0,255 255,255,0 0,255,255 255,0,255 255,128,0 128,128,128)
  cp "$ZOLTO_E2E_BIN/capture_pattern.exe" "$ZOLTO_TMP/" || zolto_fail "set-up: no capture_pattern.exe"
  files page.html
  menu_on page.html
  plain=$mh
  escape
  ZOLTO_MENU_WAIT=60 menu_on page.html "@browse=capture_pattern.exe"
  snap bands
  found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$navy")
  IFS='x+' read -r w h x y <<<"${found% *}"
  [ "${w}x$h" = 320x240 ] && ((mh - y - h >= 0 && mh - y - h <= 6 && y >= 40)) ||
    zolto_fail "the pattern's border spans ${found% *} of the ${mw}x$mh menu: not a 320x240 last item below the header"
  py=$((my + y + 70))
  for band in 0 1 2 3 4 5 6 7; do  # 6 px of border, then eight bands over 308 px
    px=$((mx + x + 6 + 308 * (2 * band + 1) / 16))
    seen=$(convert "$shot" -format "%[fx:round(255*p{$px,$py}.r)],%[fx:round(255*p{$px,$py}.g)],%[fx:round(255*p{$px,$py}.b)]" info:)
    [ "$seen" = "${colours[band]}" ] || zolto_fail "band $((band + 1)) is ($seen), expected (${colours[band]})"
  done
  escape
  for mode in fail garbage crash hang=60; do
    rm -f "$bitmap"
    ZOLTO_MENU_WAIT=80 menu_on page.html "@browse=capture_pattern.exe,--$mode"
    snap "$mode"
    found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$navy")
    ((mh == plain && ${found#* } == 0)) || zolto_fail "--$mode: the menu is $mh px high (without a preview $plain), navy $found"
    case $mode in garbage) size=100 ;; crash) size=30 ;; *) size="" ;; esac  # it ran; the hanging one was ended
    [ "$(stat -c %s "$bitmap" 2>/dev/null)" = "$size" ] || zolto_fail "--$mode: the capture's bitmap is not ${size:-absent}"
    escape
  done
}

app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'

# browsers edge|chrome|both|none: which of the stand-in browsers in edge/
# (msedge.exe) and chrome/ (chrome.exe) App Paths names (unchanged from the
# last call: no registry change).
browsers() {
  local dir exe
  [ "$1" != "${registered:-}" ] || return 0
  registered=$1
  for dir in edge chrome; do
    exe=$([ $dir = edge ] && echo msedge || echo chrome).exe
    if [ "$1" = both ] || [ "$1" = $dir ]; then
      zolto_run 30 reg add "$app_paths\\$exe" /ve /d "$(x "@{$dir/$exe}")" /f
    else
      zolto_run 30 reg delete "$app_paths\\$exe" /f
    fi
  done
}

# picture SIZE [FILE]: the stand-in's all-magenta picture of SIZE (WxH) is
# the menu's last item, or FILE, a 24-bit BMP with rows padded to 4 bytes;
# for SIZE "none", the menu is $plain high without magenta, or no FILE.
picture() {
  local found w h y
  if [ -n "${2:-}" ]; then
    [ "$1" != none ] || { [ ! -e "$2" ] || zolto_fail "$2 was written"; return; }
    IFS=x read -r w h <<<"$1"
    found=$(identify -format '%m %wx%h' "$2" 2>&1)
    [ "$found" = "BMP3 $1" ] && [ "$(stat -c %s "$2")" -eq $((54 + (w * 3 + 3) / 4 * 4 * h)) ] &&
      [ "$(zolto_pixels "$2" "$1+0+0" "$magenta" | cut -d' ' -f2)" -eq $((w * h)) ] ||
      zolto_fail "$2 is '$found' of $(stat -c %s "$2" 2>&1) bytes, not an all-magenta BMP3 of $1"
    return
  fi
  snap "$row"
  found=$(zolto_pixels "$shot" "${mw}x${mh}+$mx+$my" "$magenta")
  if [ "$1" = none ]; then
    ((${found#* } == 0 && mh == plain)) || zolto_fail "the ${mw}x$mh menu (without a preview $plain high) shows magenta $found"
  else
    IFS='x+' read -r w h _ y <<<"${found% *}"
    [ "${w}x$h" = "$1" ] && ((${found#* } == w * h && mh - y - h <= 6)) ||
      zolto_fail "the ${mw}x$mh menu shows magenta $found, expected a $1 last item"
  fi
  escape
}

# browser_ran DIR LAST: only the stand-in in DIR ("-": none) ran, once,
# headless, with 15 arguments, LAST the last, its profile and screenshot in
# one temporary folder that is gone now.
browser_ran() {
  local dir log profile temp
  for dir in edge chrome "named browser"; do
    [ "$dir" = "$1" ] || [ ! -e "$ZOLTO_TMP/$dir/browser.log" ] || zolto_fail "the stand-in in $dir/ ran"
  done
  [ "$1" != - ] || return 0
  log="$ZOLTO_TMP/$1/browser.log"
  [ "$(wc -l <"$log")" -eq 15 ] && [ "$(head -n 1 "$log")" = --headless ] && [ "$(tail -n 1 "$log")" = "$2" ] ||
    zolto_fail "not one headless start of 15 arguments ending in [$2]: $(tr '\n' ' ' <"$log" 2>&1)"
  profile=$(sed -n 's/^--user-data-dir=//p' "$log")
  temp=${profile%\\profile}
  [ "$temp" != "$profile" ] && grep -qxF -- "--screenshot=$temp\\page.png" "$log" ||
    zolto_fail "profile [$profile] and screenshot are not in one folder"
  [ ! -e "$(winepath -u "$temp" 2>/dev/null)" ] || zolto_fail "$temp is left behind"
}

preview.page_capture() {  # zolto_capture.exe runs the browser App Paths names (Edge, else Chrome) or --browser= names, headless in a temporary profile, the address one argument; refuses an address that would split into an option
  local exe html row browsers mode via args address status size ran last have plain bmp="$ZOLTO_TMP/out dir/page 1.bmp"
  cp "$ZOLTO_BIN/zolto_capture.exe" "$ZOLTO_TMP/" || zolto_fail "set-up: no zolto_capture.exe"
  for exe in edge/msedge chrome/chrome "named browser/msedge"; do standin_browser "$exe.exe"; done
  zolto_at_exit 'browsers none'
  files "out dir/" "my pages/page.html"
  html=$(x "@{my pages/page.html}")
  ini '[url]' 'recorder.exe | &Record' 'recorder.exe | &Second' '%end'
  menu http://example.test/
  plain=$mh
  escape
  # row | App Paths | the stand-in | via | ARGS | address | exit status (run) | picture | stand-in that ran | its last argument
  while IFS='|' read -r -u 3 row browsers mode via args address status size ran last; do
    browsers "$browsers"
    for exe in edge chrome "named browser"; do
      rm -f "$ZOLTO_TMP/$exe/browser.log" && echo "$mode" >"$ZOLTO_TMP/$exe/browser.mode"
    done
    if [ "$via" = menu ]; then
      ini '[system]' '@menu=100,100' "@browse=zolto_capture.exe,$args" '%end' '[url][$.html]' \
        'recorder.exe | &Record' 'recorder.exe | &Second' '%end'
      ZOLTO_MENU_WAIT=60 menu "$address"
      picture "$size"
    else
      rm -f "$bmp"
      ZT_LINE="\"$(x @{zolto_capture.exe})\" $args -o\"$(zolto_winpath "$bmp")\" -b -fbmp -u\"$address\"" zolto_zt run
      have=$?
      ((have == status)) || zolto_fail "$row: zolto_capture.exe exited $have, expected $status"
      picture "$size" "$bmp"
      [ -z "$(ls "$ZOLTO_TMP/out dir" | grep -vx 'page 1.bmp')" ] || zolto_fail "$row: left in the output folder"
    fi
    browser_ran "$ran" "${last:-$address}"
    echo "$row: ok"
  done 3<<TABLE
web|edge|ok|menu||http://example.test/||320x240|edge|
html|both|ok|menu|--window=800x600 --width=200|$html||200x150|edge|file:///${html// /%20}
chrome|chrome|ok|menu||http://example.test/||320x240|chrome|
no_browser|none|ok|menu||http://example.test/||none|-|
failing|edge|fail|menu||http://example.test/||none|edge|
hanging|edge|hang|menu||http://example.test/||none|edge|
named|none|ok|run|--browser="$(x "@{named browser/msedge.exe}")"|https://h.test/a?b=--c&d=%22|0|320x240|named browser|
hang_limit|edge|hang|run|--timeout=2|http://h.test/|4|none|edge|
split_quotes|edge|ok|run||http://h.test/a"--x"y|0|320x240|edge|http://h.test/a--xy
option_after|edge|ok|run||http://h.test/" --no-sandbox "x|2|none|-|
TABLE
}
