#!/usr/bin/env bash
# screenshots.sh [NAME...]: pictures of zuvo.exe for people to look at. Starts the Windows
# build under Wine (on the virtual X server when there is no display) on the demo folder, once
# per view, and saves the main window as build/screenshots/NAME.png, with index.html showing
# them side by side. Without NAMEs every view is taken: each colour theme, dark mode, display
# scale 1.0 and 1.5, the compact view, the play list pane open, the main menu and a row menu
# open, and the status bar while the demo's VBR track plays.
# Needs a Windows build (cmake --preset windows && cmake --build --preset windows).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
exe=$ROOT/build/windows/src/app/zuvo.exe
send=$ROOT/build/windows/tests/e2e/zuvo-send.exe
themeini=$ROOT/build/windows/tests/e2e/zuvo-theme-ini.exe
out=$ROOT/build/screenshots
for f in "$exe" "$send" "$themeini"; do
  [ -f "$f" ] || { echo "screenshots: $f is missing; build the windows preset first" >&2; exit 1; }
done
source scripts/wine-env.sh
zuvo_wine_prepare
zuvo_x_prepare
zuvo_alsa_prepare
demo="$WINEPREFIX/drive_c/Zuvo demo"
bash scripts/make_demo.sh "$demo" >/dev/null
track='C:\Zuvo demo\1 Sweep\01 Sweep part 1.mp3'
mkdir -p "$out"

# name | caption | theme | display scale | KEY=VALUE lines over the theme | action before the
# picture (menu-main: F1; menu-row: the context menu of the focused list; status-vbr: wait for
# the track's format in the status bar; big: "Big title view", 416, and wait for the view)
big() { echo "big_title=$1,$2,16777215,12632256,00000000,Arial big_infoptrn=-beok;kp;rg"; }
views=(
  "theme1|Theme 1 \"Dark mode\" (dark mode on)|1|1.0|"
  "theme2|Theme 2 \"Anthracite\" (the default)|2|1.0|"
  "theme3|Theme 3 \"Paper\"|3|1.0|"
  "theme4|Theme 4 \"Grey\"|4|1.0|"
  "theme5|Theme 5 \"Deep\" (dark mode on)|5|1.0|"
  "theme6|Theme 6 \"Blue\"|6|1.0|"
  "theme7|Theme 7 \"Red\"|7|1.0|"
  "dpi150|Theme 2 at display scale 1.5|2|1.5|"
  "compact|Compact view|2|1.0|compact_view=1"
  "playlist|Play list pane open, right of the file list|1|1.0|playlist_win=$((0x8000 | 0x4000 | 640))"
  "toolbar-all|Every toolbar button, small bitmap set with texts (\"v\")|3|1.0|toolbar=$((0x1FFFFFF)) bmpfile=v"
  "toolbar-text|Text-only toolbar (\"t\")|2|1.0|bmpfile=t"
  "menu-main|Main menu open (F1)|2|1.0||menu-main"
  "menu-row|Row menu of the File view open|2|1.0||menu-row"
  "status-vbr|Status bar while a VBR track plays|2|1.0||status-vbr"
  "big-floating|Big view floating over the window, layout 1, meter at the left, clock|2|1.0|$(big 00060,00260,00700,00200 Vi0c-1i05) big_embedded=0|big"
  "big-layout2|Big view embedded at the top, layout 2 (dark mode)|1|1.0|$(big 00000,00000,00700,00200 vi0C-2i05) big_embedded=$((0x8000 | 150))|big"
  "big-layout3|Big view embedded at the bottom, layout 3 (dark mode)|1|1.0|$(big 00000,00000,00700,00200 -i0c-3i05) big_embedded=$((0x4000 | 150))|big"
  "big-layout4|Big view embedded below the list, layout 4 (dark mode)|1|1.0|$(big 00000,00000,00700,00200 Mi0c-4i05) big_embedded=$((0x2000 | 170))|big"
  "big-layout5|Big view embedded at the top, layout 5 (dark mode)|1|1.0|$(big 00000,00000,00700,00200 Vi0c-5i05) big_embedded=$((0x8000 | 170))|big"
  "picture|Cover picture at the foot of the tree (the standard picture from the settings folder)|2|1.0|stylez=$(((1 << 8) | (1 << 9)))|picture"
  "big-picture|Big view embedded at the top with the cover picture at its left end|2|1.0|$(big 00000,00000,00700,00200 Vi0c-5i05) big_embedded=$((0x8000 | 150)) stylez=$(((1 << 8) | (1 << 9)))|big-picture"
  "big-layout-info|Big view embedded at the top, layout \"-\" (dark mode)|1|1.0|$(big 00000,00000,00700,00200 Vi0c--i05) big_embedded=$((0x8000 | 150))|big"
  # Tool dialogs in the dark theme ("Some more dark mode in dialogs" on, which Go to and Find
  # in list need for their light-grey look), each over the window it opens from.
  "dlg-finder|File finder in dark mode|1|1.0|more_dark=1|dialog:415"
  "dlg-renamer|Easy renamer in dark mode|1|1.0|more_dark=1|dialog:452"
  "dlg-copy|Copy to (the system's save dialog with its dark frame)|1|1.0|more_dark=1|dialog:414"
  "dlg-date|File date and time in dark mode|1|1.0|more_dark=1|dialog:417"
  "dlg-goto|Go to in dark mode (\"Some more dark mode in dialogs\")|1|1.0|more_dark=1|dialog:463"
  "dlg-find|Find in list in dark mode|1|1.0|more_dark=1|dialog:492"
  "dlg-beat|Beat counter in dark mode|1|1.0|more_dark=1|dialog:460"
  "dlg-info|File info (light theme)|2|1.0||dialog:409"
  "dlg-info-dark|File info in dark mode|1|1.0|more_dark=1|dialog:409"
)
# The settings dialog: every page light (theme 2), dark (theme 1 with the darkest dialogs) and
# at display scale 1.5.
settings_pages=("Quick settings" "Audio" "Decoders" "Enhancer 1" "Enhancer 2" "Control"
  "Lists and info" "Toolbar" "Hotkeys" "Special" "Window style" "List style" "Big view" "System"
  "File options" "Web server" "Title options" "Logging" "About Zuvo")
# One program start per variant; every page is shot in turn in the same dialog.
views+=("settings|Settings page|2|1.0||settings-all"
  "settings-dark|Settings page, dark|1|1.0|more_dark=3|settings-all"
  "settings-150|Settings page at display scale 1.5|2|1.5||settings-all")
settings_title=" Zuvo Directory Player - Configuration"

scale_now=1.0
# What the program runs in; through a file, not a pipe (see tests/bench/startup_bench.sh).
w() { "$ROOT/scripts/wine-run" "$@" >"$out/.out" 2>/dev/null; }

# snap FILE W H X Y: the screen's rectangle saved as FILE once what shows there has settled.
# The lists and the tree reach the X server a little after the listing is done, so a
# picture taken at once can show lists still black; two equal pictures in a row (at most about
# 3 s of tries, for a view that keeps changing such as a running clock) mean it is drawn.
snap() {
  local prev='' now tries=0
  while :; do
    now=$(import -window root -crop "${2}x${3}+${4}+${5}" +repage rgb:- | md5sum)
    if [ "$now" = "$prev" ] || [ $tries -ge 30 ]; then break; fi
    prev=$now; tries=$((tries + 1)); sleep 0.1
  done
  import -window root -crop "${2}x${3}+${4}+${5}" +repage "$1"
}

set_scale() {
  local key='HKCU\Control Panel\Desktop'
  if [ "$1" = 1.0 ]; then
    "$ROOT/scripts/wine-run" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
  else
    "$ROOT/scripts/wine-run" reg add "$key" /v LogPixels /t REG_DWORD \
      /d "$(awk -v s="$1" 'BEGIN { print int(96 * s + 0.5) }')" /f >/dev/null 2>&1
  fi
}

# The zuvo.exe window's x, y, w, h on the screen (the largest of its top-level windows).
window_rect() {
  xwininfo -root -tree | awk '/\("zuvo\.exe" "zuvo\.exe"\)/ {
      split($0, a, /\) +/); split(a[2], g, /[x+ ]/);
      if (g[1] * g[2] > best) { best = g[1] * g[2]; r = g[3] " " g[4] " " g[1] " " g[2] } }
    END { print r }'
}

# The settings dialog's x, y, w, h on the screen.
dialog_rect() {
  xwininfo -root -tree | awk -v t="\"$settings_title\":" 'index($0, t) {
      split($0, a, /\) +/); split(a[2], g, /[x+ ]/); print g[3] " " g[4] " " g[1] " " g[2]; exit }'
}

# The rectangle round every top-level window of zuvo.exe (the window and its dialogs).
windows_rect() {
  xwininfo -root -tree | awk '/\("zuvo\.exe" "zuvo\.exe"\)/ {
      split($0, a, /\) +/); split(a[2], g, /[x+ ]/);
      if (g[1] * g[2] < 400) next;
      if (n++ == 0 || g[3] < x0) x0 = g[3]; if (n == 1 || g[4] < y0) y0 = g[4];
      if (g[3] + g[1] > x1) x1 = g[3] + g[1]; if (g[4] + g[2] > y1) y1 = g[4] + g[2] }
    END { print x0 " " y0 " " x1 - x0 " " y1 - y0 }'
}

# A Windows process that stays while the views are taken: Wine's session (its services) stays
# up between the program's starts instead of starting again for each view. It is started
# again after a change of the display scale, which the session's programs read when they start.
keeper=
keep() {
  [ -z "$keeper" ] || { kill "$keeper" 2>/dev/null || true; wait "$keeper" 2>/dev/null || true; }
  keeper=
  [ "${1:-}" = off ] || { "$ROOT/scripts/wine-run" "$send" keep 3600000 >/dev/null 2>&1 & keeper=$!; }
}

# The display scale is the prefix's: it goes back to 1.0 however the script ends.
trap 'keep off; [ "$scale_now" = 1.0 ] || set_scale 1.0' EXIT
keep

selected=("$@")
shots=()
for view in "${views[@]}"; do
  IFS='|' read -r name caption theme scale extra action <<<"$view"
  if [ ${#selected[@]} -gt 0 ] && [[ ! " ${selected[*]} " == *" $name "* ]]; then continue; fi
  if [ "$scale" != "$scale_now" ]; then keep off; set_scale "$scale"; scale_now=$scale; keep; fi
  prog=$out/work/$name
  rm -rf "$prog" && mkdir -p "$prog"
  cp "$exe" "$prog/zuvo.exe"
  # The standard picture beside the settings file: a generated gradient with a frame.
  [[ "${action:-}" = picture || "${action:-}" = big-picture ]] && convert -size 300x300 gradient:'#f0a030-#6030a0' \
    -stroke white -strokewidth 6 -fill none -draw 'rectangle 20,20 279,279' "$prog/cover.jpg"
  args=(utf8=1 window_x=20 window_y=10 window_w=$(awk -v s="$scale" 'BEGIN { print int(820 * s) }')
        window_h=$(awk -v s="$scale" 'BEGIN { print int(500 * s) }') maximized=0 compact_x=30
        compact_y=30 wavedevice=0 volume=52000 divider=$(awk -v s="$scale" 'BEGIN { print int(220 * s) }'))
  [ -n "$extra" ] && args+=($extra)
  w "$themeini" "$theme" "$scale" "Z:${prog//\//\\}\\zuvo.ini" "${args[@]}"
  "$ROOT/scripts/wine-run" "$prog/zuvo.exe" /localini "$track" >/dev/null 2>&1 &
  pid=$!
  ok=1
  # The window shown with the demo's three tracks listed, then one more round trip through
  # the program's queue: the layout after the listing is drawn.
  w "$send" listed 3 50000 || ok=0
  grow=0
  shot_taken=0
  case "${action:-}" in
    menu-main|menu-row)
      # The menu opens at the pointer: inside the window, and the picture takes in its reach.
      xdotool mousemove 260 200 >/dev/null 2>&1 || true
      if [ "$action" = menu-main ]; then w "$send" menukey 112 || ok=0  # F1
      else w "$send" command 945 || ok=0; fi
      [ $ok = 1 ] && { w "$send" menu 5000 || ok=0; }
      grow=1
      ;;
    big|big-picture)
      w "$send" command 416
      # The Big view: wait until it shows (floating by its class, embedded as a child).
      w "$send" wintext ZuvoBigView 3000 || w "$send" children || true
      ;;
    settings-all)
      # Every page of the settings dialog, one after another, then nothing more to shoot.
      w "$send" dlgopen 402 "$settings_title" || ok=0
      for i in "${!settings_pages[@]}"; do
        [ $ok = 1 ] || break
        w "$send" dlgtree "$settings_title" "$i" || { ok=0; break; }
        w "$send" dlgpaint "$settings_title" || true
        read -r x y ww hh <<<"$(dialog_rect)"
        snap "$out/$name-$i.png" "$ww" "$hh" "$x" "$y"
        shots+=("$name-$i|$caption \"${settings_pages[$i]}\"")
        echo "screenshots: $out/$name-$i.png (${ww}x${hh})"
      done
      [ $ok = 1 ] && w "$send" dlgclick "$settings_title" 2 || true
      shot_taken=1
      ;;
    dialog:*)
      # A tool dialog: the command, then wait until a dialog shows; the picture takes in every
      # window of the program.
      w "$send" select '01 Sweep part 1' || ok=0
      [ $ok = 1 ] && { w "$send" command "${action#dialog:}" || ok=0; }
      [ $ok = 1 ] && { w "$send" wintext '#32770' 10000 || ok=0; }
      [ $ok = 1 ] && w "$send" rows
      grow=2
      ;;
    status-vbr)
      deadline=$((SECONDS + 20))
      until w "$send" status && grep -q 'VBR' "$out/.out"; do
        [ $SECONDS -lt $deadline ] || { ok=0; break; }
      done
      ;;
  esac
  if [ $ok = 1 ] && [ $shot_taken = 0 ]; then
    if [ $grow = 2 ]; then read -r x y ww hh <<<"$(windows_rect)"
    else read -r x y ww hh <<<"$(window_rect)"; fi
    if [ $grow = 1 ]; then ww=$((ww + 300)); hh=$((hh + 200)); fi
    # A dialog may reach past the window.
    if [ $grow = 2 ]; then ww=$((ww + 200)); hh=$((hh + 250)); fi
    snap "$out/$name.png" "$ww" "$hh" "$x" "$y"
    shots+=("$name|$caption")
    echo "screenshots: $out/$name.png (${ww}x${hh})"
  elif [ $ok = 0 ]; then
    echo "screenshots: $name: the window did not show its list in time" >&2
  fi
  if [ $grow = 1 ]; then w "$send" menukey 27 || true; fi  # Esc closes the menu
  if [ $grow = 2 ]; then w "$send" press '#32770' 2 || true; fi  # Cancel closes the dialog
  w "$send" close 10000 || true
  wait "$pid" 2>/dev/null || true
  [ $ok = 1 ] || exit 1
done

{
  echo '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Zuvo screenshots</title>'
  echo '<style>body{font-family:sans-serif;background:#ddd}figure{display:inline-block;'
  echo 'vertical-align:top;margin:8px;background:#fff;padding:6px}img{display:block}</style>'
  echo '</head><body><h1>Zuvo screenshots</h1>'
  for s in "${shots[@]}"; do
    IFS='|' read -r name caption <<<"$s"
    caption=${caption//&/&amp;}; caption=${caption//</&lt;}; caption=${caption//\"/&quot;}
    echo "<figure><img src=\"$name.png\" alt=\"$caption\"><figcaption>$caption</figcaption></figure>"
  done
  echo '</body></html>'
} >"$out/index.html"
echo "screenshots: $out/index.html"
