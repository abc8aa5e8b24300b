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
row "MENU U H D CU (48 x 18, stretched to the caption), SWITCH for the play-along toggle" 300 11x +6+6 \
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

mkdir -p "$(dirname "$out")"
convert -background "$bg" "$work"/[0-9]*.png -gravity northwest -append -strip "$out"
echo "$out"
