# Screenshot checks for scripts/wine-test.sh (sourced): what share of a
# screenshot has a scene's colours, measured with ImageMagick on a 192 × 108
# sample of the picture (every tenth pixel, no blending, so colours stay
# exact). Each prints a fraction between 0 and 1.

# share FILE R,G,B [TOLERANCE]: pixels within TOLERANCE levels (default 3) of
# the colour in every channel.
share() {
  local file=$1 tolerance=${3:-3} r g b
  IFS=, read -r r g b <<< "$2"
  convert "$file" -sample 192x108 -alpha off \
    -fx "abs(r*255-$r)<=$tolerance && abs(g*255-$g)<=$tolerance && abs(b*255-$b)<=$tolerance" \
    -format '%[fx:mean]' info:
}

# red_share FILE: clearly red pixels (scene 2's title card and its glow).
red_share() {
  convert "$1" -sample 192x108 -alpha off -fx 'r>0.2 && r>2.5*g && r>2.5*b' -format '%[fx:mean]' info:
}

# at_least VALUE MINIMUM: true when VALUE >= MINIMUM (decimals allowed).
at_least() {
  awk -v v="$1" -v m="$2" 'BEGIN { exit !(v + 0 >= m + 0) }'
}

# The scenes by their look:
#   1 and 4  dark blue background (0,0,10)
#   2        the red title card
#   3        magenta background (255,0,221)
#   5        black fog (0,0,0), no dark blue
scene_matches() {
  local scene=$1 file=$2
  case $scene in
    1 | 4) at_least "$(share "$file" 0,0,10 2)" 0.2 && ! at_least "$(share "$file" 255,0,221)" 0.02 ;;
    2) at_least "$(red_share "$file")" 0.5 ;;
    3) at_least "$(share "$file" 255,0,221)" 0.25 ;;
    5) at_least "$(share "$file" 0,0,0 2)" 0.2 && ! at_least "$(share "$file" 0,0,10 2)" 0.02 ;;
    *) return 1 ;;
  esac
}

# describe FILE: the measures above, for the log.
describe() {
  echo "dark blue $(share "$1" 0,0,10 2), magenta $(share "$1" 255,0,221), red $(red_share "$1"), black $(share "$1" 0,0,0 2)"
}
