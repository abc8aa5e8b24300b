#!/usr/bin/env bash
# Renders every skin bitmap, texture and the icon on one PNG for people to look at:
#   bash tools/skins/contact_sheet.sh [bitmap_folder] [output.png]
# Needs ImageMagick (convert, montage). Small pictures are enlarged 3x (pixels kept sharp).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
src=${1:-$root/resources/bitmaps}
out=${2:-$root/docs/screenshots/skins.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bg='#CCE0F7'

row() {  # row <name> <scale%> <tile> <geometry> <files...>
    local name=$1 scale=$2 tile=$3 geometry=$4
    shift 4
    local files=()
    for f in "$@"; do
        if [ "${f:0:1}" = / ]; then
            files+=("$f")
            continue
        fi
        # Alpha textures are shown over a dark checker so their shapes can be seen.
        local safe=${f//[\[\]]/_}
        safe=${safe%.bmp}
        if [ "$(identify -format '%[channels]' "$src/$f" 2>/dev/null)" = "srgba" ]; then
            # White sprites over a dark checker, black glyphs over a light one.
            local tone='#f4f7fc'
            [ "$f" = star.bmp ] && tone='#30405a'
            convert -size 512x512 pattern:checkerboard -fill "$tone" -colorize 75% \
                -crop "$(identify -format '%wx%h+0+0' "$src/$f")" +repage \
                "$src/$f" -compose over -composite -set label "${safe%_}" "$work/t_$safe.png"
            files+=("$work/t_$safe.png")
        else
            files+=("$src/$f")
        fi
    done
    montage -background "$bg" -label '%t' -pointsize 10 "${files[@]}" -filter point \
        -resize "$scale%" -tile "$tile" -geometry "$geometry" "$work/row.png"
    convert "$work/row.png" -background "$bg" -gravity northwest -splice 0x22 \
        -font DejaVu-Sans-Bold -pointsize 14 -fill '#011362' -annotate +8+4 "$name" \
        "$work/$(printf '%02d' "$(ls "$work"/[0-9]*.png 2>/dev/null | wc -l)").png"
}

deck=()
for n in RECORD PLAY PAUSE STOP REWIND EJECT; do
    for v in U H D X CU CH CD; do deck+=("$n$v.bmp"); done
done
row "Deck buttons: U H D X, latched CU CH CD (40 x 30)" 300 7x +6+6 "${deck[@]}"

boxes=()
for n in CLOSE HELP MINIMIZE MAXIMIZE; do
    for v in U H D CU CH CD; do boxes+=("$n$v.bmp"); done
done
row "Title boxes: active U H D, inactive CU CH CD (18 x 29)" 300 12x +6+6 "${boxes[@]}"

row "Title bar: backgrounds 185 / 199 (stretched), end images 376 / 375" 300 4x +6+6 \
    title_active.bmp title_inactive.bmp title_end_active.bmp title_end_inactive.bmp
row "MENU U H D CU (30 x 18, stretched to the caption), SWITCH for the play-along toggle" 300 11x +6+6 \
    MENUU.bmp MENUH.bmp MENUD.bmp MENUCU.bmp SWITCHU.bmp SWITCHH.bmp SWITCHD.bmp SWITCHX.bmp \
    SWITCHCU.bmp SWITCHCH.bmp SWITCHCD.bmp
row "EMPTY_BUTTON U D X (75 x 23), SMALL_BUTTON U D X (44 x 20)" 300 6x +6+6 \
    EMPTY_BUTTONU.bmp EMPTY_BUTTOND.bmp EMPTY_BUTTONX.bmp SMALL_BUTTONU.bmp SMALL_BUTTOND.bmp \
    SMALL_BUTTONX.bmp
row "Horizontal sliders: 349 / 348 main, 354 / 353 media player, thumb 351" 300 5x +6+6 \
    slider_position_before.bmp slider_position_after.bmp slider_media_before.bmp \
    slider_media_after.bmp thumb_horizontal.bmp
row "Vertical sliders: 356 / 355 tempo, 347 / 346 volume, thumbs 352 and 329" 300 6x +22+6 \
    slider_tempo_before.bmp slider_tempo_after.bmp slider_volume_before.bmp \
    slider_volume_after.bmp thumb_tempo.bmp thumb_volume.bmp
row "About picture 382 and the icon (32 and 16 pixels)" 200 3x +6+6 about.bmp \
    "melvora.ico[0]" "melvora.ico[1]"
row "Textures: star 341, staff 331-338, keys 210 / 211" 100 11x +12+6 star.bmp clef_halo.bmp \
    clef.bmp note_halo.bmp note.bmp note_mask.bmp sharp_halo.bmp sharp.bmp sharp_mask.bmp \
    key_black.bmp key_white.bmp

# ---- the pieces put together, roughly as the windows will use them ----
font=/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
[ -f "$font" ] || font=DejaVu-Sans
img() {  # img <file> <x> <y> [w h]: a draw primitive placing a bitmap, stretched if w h given
    echo "image over $2,$3 ${4:-0},${5:-0} '$src/$1'"
}
thumb_frame() {  # thumb_frame <file> <frame> <w> <h> <vertical>: one frame of a thumb strip
    if [ "$5" = 1 ]; then
        convert "$src/$1" -crop "$3x$4+0+$(($2 * $4))" +repage "$work/thumb_$2_$1.png"
    else
        convert "$src/$1" -crop "$3x$4+$(($2 * $3))+0" +repage "$work/thumb_$2_$1.png"
    fi
    echo "image over $6,$7 0,0 '$work/thumb_$2_$1.png'"
}
main_window() {  # main_window <out> <active 1/0> <rec> <rew> <play> <eject> <time text> <thumb x>
    local out=$1 active=$2 w=260 h=150 tb=title_active.bmp box=U
    [ "$active" = 1 ] || { tb=title_inactive.bmp; box=CU; }
    local cap='white'
    [ "$active" = 1 ] || cap='rgb(100,120,160)'
    convert -size ${w}x${h} xc:'#CCE0F7' \
        -draw "$(img $tb 0 0 $((w - 54)) 29)" \
        -draw "$(img title_end_$([ "$active" = 1 ] && echo active || echo inactive).bmp $((w - 54 - 56)) 0)" \
        -draw "$(img MINIMIZE$box.bmp $((w - 54)) 0)" -draw "$(img HELP$box.bmp $((w - 36)) 0)" \
        -draw "$(img CLOSE$box.bmp $((w - 18)) 0)" \
        -draw "image over 6,7 16,16 '$work/icon16.png'" \
        -font "$font" -pointsize 11 -fill "$cap" -annotate +28+19 'Melvora' \
        -draw "$(img MENUU.bmp 0 29 34 18)" -draw "$(img MENUH.bmp 34 29 38 18)" \
        -draw "$(img MENUU.bmp 72 29 36 18)" \
        -fill 'rgb(1,19,98)' -annotate +8+42 'File' -fill white -annotate +41+42 'View' \
        -fill 'rgb(1,19,98)' -annotate +79+42 'Help' \
        -draw "line 0,47 $w,47" \
        -pointsize 10 -fill 'rgb(1,19,98)' -annotate +12+62 'Record' -annotate +62+62 'Replay' \
        -annotate +160+62 'File' \
        -draw "$(img RECORD$3.bmp 10 66)" -draw "$(img REWIND$4.bmp 60 66)" \
        -draw "$(img PLAY$5.bmp 104 66)" -draw "$(img EJECT$6.bmp 160 66)" \
        -font "$font" -pointsize 11 -fill black -annotate +12+116 "$7" \
        -draw "image over 10,122 $8,22 '$src/slider_position_before.bmp'" \
        "$work/mw_base.png"
    convert "$work/mw_base.png" \
        -draw "image over $((10 + $8)),122 0,0 '$work/after.png'" \
        -draw "$(thumb_frame thumb_horizontal.bmp 0 12 22 0 $((4 + $8)) 122)" "$out"
}
convert "$src/melvora.ico[1]" "$work/icon16.png"
mock_row() {
    convert "$src/slider_position_after.bmp" -crop "$((160 - $1))x22+$1+0" +repage "$work/after.png"
}
mock_row 118
main_window "$work/m1.png" 1 CU X X X 'Recorded So Far:    0:07' 118
mock_row 58
main_window "$work/m2.png" 0 X U CU X '   0:12  /    0:31' 58

# Message box: "Yes, No, Cancel" at its measured size (253 wide content, buttons 75 x 23).
W=253; H=86
convert -size $((W + 6))x$((H + 6)) xc:'#CCE0F7' \
    -draw "$(img title_active.bmp 0 0 $((W - 18)) 29)" -draw "$(img title_end_active.bmp $((W - 18 - 56)) 0)" \
    -draw "$(img CLOSEH.bmp $((W - 18)) 0)" \
    -font "$font" -pointsize 11 -fill white -annotate +8+19 'Save' \
    -fill black -gravity north -annotate +0+40 'Do you wish to save your recordings?' -gravity northwest \
    -draw "$(img EMPTY_BUTTONU.bmp 7 $((H - 30)))" -draw "$(img EMPTY_BUTTOND.bmp $((W / 2 - 37)) $((H - 30)))" \
    -draw "$(img EMPTY_BUTTONU.bmp $((W - 82)) $((H - 30)))" \
    -annotate +33+$((H - 17)) 'Yes' -annotate +$((W / 2 - 7))+$((H - 16)) 'No' \
    -annotate +$((W - 63))+$((H - 17)) 'Cancel' "$work/m3.png"

# Volume sliders and the play-along switch.
convert -size 200x150 xc:'#CCE0F7' \
    -draw "image over 10,10 0,0 '$src/slider_volume_after.bmp'" \
    -draw "image over 50,10 0,0 '$src/slider_volume_after.bmp'" \
    -draw "image over 90,10 0,0 '$src/slider_tempo_after.bmp'" "$work/v0.png"
convert "$src/slider_volume_before.bmp" -crop 22x70+0+50 +repage "$work/vb1.png"
convert "$src/slider_volume_before.bmp" -crop 22x40+0+80 +repage "$work/vb2.png"
convert "$src/slider_tempo_before.bmp" -crop 22x50+0+50 +repage "$work/vb3.png"
convert "$work/v0.png" -draw "image over 10,60 0,0 '$work/vb1.png'" \
    -draw "image over 50,90 0,0 '$work/vb2.png'" -draw "image over 90,60 0,0 '$work/vb3.png'" \
    -draw "$(thumb_frame thumb_volume.bmp 0 22 12 1 10 54)" \
    -draw "$(thumb_frame thumb_volume.bmp 1 22 12 1 50 84)" \
    -draw "$(thumb_frame thumb_tempo.bmp 2 22 12 1 90 54)" \
    -draw "$(img SWITCHCU.bmp 120 20 74 18)" -draw "$(img SWITCHU.bmp 120 50 74 18)" \
    -font "$font" -pointsize 10 -fill 'rgb(255,255,150)' -annotate +126+33 'Play-Along' \
    -annotate +126+63 'Play-Along' "$work/m4.png"
row "In use (mock-ups): main controls recording / inactive and replaying, message box, sliders" 200 4x +8+6 \
    "$work/m1.png" "$work/m2.png" "$work/m3.png" "$work/m4.png"

mkdir -p "$(dirname "$out")"
convert -background "$bg" "$work"/[0-9]*.png -gravity northwest -append -strip "$out"
echo "$out"
