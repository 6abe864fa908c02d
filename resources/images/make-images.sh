#!/bin/sh
# Renders Torvel's pictures (splash, About, main-window logo) and the PNG copies of the
# button glyphs from vector drawings, so the artwork can be changed and rebuilt in one step.
# The outputs are committed; run this only after changing a drawing.
#
# Needs: rsvg-convert (librsvg2-bin), convert (imagemagick), the DejaVu fonts (fonts-dejavu-core).
# Usage: sh resources/images/make-images.sh   (from anywhere)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
icons="$here/../icons"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render NAME WIDTH HEIGHT: $work/NAME.svg -> $here/NAME.jpg
render() {
    rsvg-convert -w "$2" -h "$3" -b white "$work/$1.svg" -o "$work/$1.png"
    convert "$work/$1.png" -background white -flatten -strip -sampling-factor 4:4:4 -quality 92 "$here/$1.jpg"
}

# The maker's emblem (a lathe-turned shaft inside a ring of light), reused by every picture.
EMBLEM='
    <circle cx="0" cy="0" r="46" fill="none" stroke="#f29a1f" stroke-width="7"/>
    <g stroke="#f29a1f" stroke-width="4" stroke-linecap="round">
      <path d="M0 -62v-8M0 62v8M-62 0h-8M62 0h8M44 -44l6 -6M-44 44l-6 6M44 44l6 6M-44 -44l-6 -6"/>
    </g>
    <circle cx="0" cy="0" r="38" fill="#ffffff"/>
    <path d="M-34 -9h12v-8h18v-6h22v6h10v8h6v18h-6v8h-10v6h-22v-6h-18v-8h-12z" fill="#1f5da0"/>
    <path d="M-34 -9h12v-8h18v-6h22v6h10v8h6v5h-68z" fill="#3f86d4"/>
    <path d="M-34 0h68" stroke="#ffffff" stroke-width="1.2" stroke-dasharray="5 3"/>'

# ---------------------------------------------------------------- splash, 500 x 300
# The labels painted over it sit at x 20..300, y 95..115 and y 188..290: keep those areas plain.
cat > "$work/splash.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="500" height="300" viewBox="0 0 500 300"
     font-family="DejaVu Sans, sans-serif">
  <defs>
    <linearGradient id="page" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#f8fafd"/><stop offset="1" stop-color="#e2eaf4"/>
    </linearGradient>
    <linearGradient id="band" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#0f2c52"/><stop offset="1" stop-color="#2466ad"/>
    </linearGradient>
    <linearGradient id="top" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#eef2f6"/><stop offset="1" stop-color="#b9c4cf"/>
    </linearGradient>
    <linearGradient id="left" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#a8b4c0"/><stop offset="1" stop-color="#7d8995"/>
    </linearGradient>
    <linearGradient id="right" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8894a1"/><stop offset="1" stop-color="#5d6874"/>
    </linearGradient>
    <linearGradient id="steel" x1="0" y1="0" x2="1" y2="0">
      <stop offset="0" stop-color="#7b8692"/><stop offset=".45" stop-color="#f4f6f8"/><stop offset="1" stop-color="#5f6a76"/>
    </linearGradient>
  </defs>
  <rect width="500" height="300" fill="url(#page)"/>

  <!-- title band -->
  <rect width="500" height="84" fill="url(#band)"/>
  <rect y="84" width="500" height="4" fill="#f29a1f"/>
  <text x="20" y="57" font-size="46" font-weight="bold" fill="#ffffff" letter-spacing="1">Torvel</text>
  <text x="23" y="76" font-size="13" fill="#cfe0f5">Editor de Programas CNC</text>
  <g transform="translate(262 42) scale(.42)">$EMBLEM</g>
  <text x="296" y="38" font-size="13" font-weight="bold" fill="#ffffff">Tornaluz</text>
  <text x="296" y="54" font-size="10" fill="#cfe0f5">Sistemas CNC Ltda.</text>

  <!-- a few blocks of a part program, faint, behind the machining scene -->
  <g font-family="DejaVu Sans Mono, monospace" font-size="10" fill="#a9bbd0">
    <text x="290" y="112">N10 G90 G54</text>
    <text x="290" y="125">N20 T1 M06</text>
    <text x="290" y="138">N30 S2500 M03</text>
    <text x="290" y="151">N40 G00 X0 Y0</text>
    <text x="290" y="164">N50 G01 Z-2 F120</text>
  </g>

  <!-- axis triad -->
  <g stroke-width="2" stroke-linecap="round" font-size="10" font-weight="bold">
    <path d="M468 150v-34" stroke="#2e9d46"/><path d="M464 121l4-6 4 6" fill="none" stroke="#2e9d46"/>
    <path d="M468 150l22 10" stroke="#d93b3b"/><path d="M483 161l7-1-4-6" fill="none" stroke="#d93b3b"/>
    <path d="M468 150l-20 10" stroke="#1f6fc9"/><path d="M451 154l-3 6 7 0" fill="none" stroke="#1f6fc9"/>
    <text x="472" y="120" fill="#2e9d46" stroke="none">Z</text>
    <text x="488" y="175" fill="#d93b3b" stroke="none">X</text>
    <text x="438" y="172" fill="#1f6fc9" stroke="none">Y</text>
  </g>

  <!-- work piece with a pocket being milled -->
  <path d="M320 222 L400 188 L480 222 L400 256 Z" fill="url(#top)" stroke="#56616d" stroke-width="1"/>
  <path d="M320 222 L400 256 L400 292 L320 258 Z" fill="url(#left)" stroke="#56616d" stroke-width="1"/>
  <path d="M400 256 L480 222 L480 258 L400 292 Z" fill="url(#right)" stroke="#56616d" stroke-width="1"/>
  <path d="M358 222 L400 204 L442 222 L400 240 Z" fill="#8e9aa6" stroke="#56616d" stroke-width="1"/>
  <path d="M364 224 L400 209 L436 224" fill="none" stroke="#6c7884" stroke-width="3"/>
  <path d="M372 222 L400 210.5 L428 222 L400 233.5 Z" fill="none" stroke="#f29a1f" stroke-width="1.6" stroke-dasharray="4 3"/>

  <!-- spindle and end mill coming down from the band -->
  <path d="M392 88h32l-5 14h-22z" fill="#2b343d"/>
  <rect x="401" y="102" width="14" height="46" fill="url(#steel)" stroke="#3c4752" stroke-width="1"/>
  <rect x="402" y="148" width="12" height="70" fill="url(#steel)" stroke="#3c4752" stroke-width="1"/>
  <path d="M402.5 154l11 6M402.5 164l11 6M402.5 174l11 6M402.5 184l11 6M402.5 194l11 6M402.5 204l11 6"
        stroke="#56616d" stroke-width="2"/>
  <path d="M402 218h12" stroke="#2b343d" stroke-width="2"/>
  <!-- chips -->
  <g fill="#f0b050" stroke="#b0701c" stroke-width=".6">
    <path d="M388 214c-4-2-6 2-3 4 2 1 5 0 3-4z"/>
    <path d="M425 212c3-3 7 0 4 3-2 1-5-1-4-3z"/>
    <path d="M382 226c-3 0-4 3-1 4 2 0 3-2 1-4z"/>
  </g>
</svg>
EOF
render splash 500 300

# ---------------------------------------------------------------- About, top picture, 400 x 130
cat > "$work/about-top.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="400" height="130" viewBox="0 0 400 130"
     font-family="DejaVu Sans, sans-serif">
  <defs>
    <linearGradient id="band" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#0f2c52"/><stop offset="1" stop-color="#2466ad"/>
    </linearGradient>
  </defs>
  <rect width="400" height="130" fill="url(#band)"/>
  <!-- tool path of a pocket, faint, across the background -->
  <path d="M150 118h230v-26h-200v-26h200v-26h-200" fill="none" stroke="#3b79bf" stroke-width="3"
        stroke-linecap="round" stroke-linejoin="round" stroke-dasharray="10 6"/>
  <g transform="translate(62 62) scale(.72)">$EMBLEM</g>
  <text x="128" y="50" font-size="30" font-weight="bold" fill="#ffffff">Tornaluz</text>
  <text x="130" y="70" font-size="14" fill="#f7c873">Sistemas CNC Ltda.</text>
  <rect x="130" y="80" width="252" height="1.5" fill="#f29a1f"/>
  <text x="130" y="98" font-size="10.5" fill="#dbe7f6">Pós-processamento · Usinagem · Documentação</text>
  <text x="130" y="113" font-size="10.5" fill="#dbe7f6">Integração CAD/CAM ↔ máquinas CNC</text>
</svg>
EOF
render about-top 400 130

# ---------------------------------------------------------------- About, small picture, 100 x 64
cat > "$work/about-small.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="100" height="64" viewBox="0 0 100 64"
     font-family="DejaVu Sans, sans-serif">
  <rect width="100" height="64" fill="#ffffff"/>
  <g transform="translate(50 24) scale(.27)">$EMBLEM</g>
  <text x="50" y="54" font-size="11" font-weight="bold" fill="#1f5da0" text-anchor="middle">Tornaluz</text>
  <text x="50" y="62" font-size="6" fill="#b0701c" text-anchor="middle" letter-spacing=".4">SISTEMAS CNC</text>
</svg>
EOF
render about-small 100 64

# ---------------------------------------------------------------- main-window logo, 500 x 163
cat > "$work/logo.svg" <<EOF
<svg xmlns="http://www.w3.org/2000/svg" width="500" height="163" viewBox="0 0 500 163"
     font-family="DejaVu Sans, sans-serif">
  <rect width="500" height="163" fill="#ffffff"/>
  <g transform="translate(14 16) scale(2.03)">
$(sed -n '/<defs>/,/<\/svg>/p' "$icons/torvel.svg" | sed '$d')
  </g>
  <text x="172" y="82" font-size="66" font-weight="bold" fill="#163a6b" letter-spacing="2">Torvel</text>
  <text x="176" y="110" font-size="19" fill="#4a5d75">Editor de Programas CNC</text>
  <rect x="176" y="121" width="300" height="2" fill="#f29a1f"/>
  <g transform="translate(186 140) scale(.13)">$EMBLEM</g>
  <text x="200" y="145" font-size="12" fill="#7a5a2a">Tornaluz Sistemas CNC Ltda. · Versão 1.1</text>
</svg>
EOF
render logo 500 163

# ---------------------------------------------------------------- PNG copies of the glyphs
# Qt reads SVG only through an extra plugin; the program uses these PNGs instead.
for f in "$icons"/*.svg; do
    name=$(basename "$f" .svg)
    if [ "$name" = torvel ]; then
        rsvg-convert -w 256 -h 256 "$f" -o "$icons/torvel.png"
    else
        rsvg-convert -w 48 -h 48 "$f" -o "$icons/$name.png"
    fi
done
# The help pages show the buttons they talk about; they get their own copies, since the
# Ajuda folder is installed as it is, beside the program.
mkdir -p "$here/../Ajuda/img"
for name in open save save-as undo bt01-spaces bt02-renumber bt03-replace bt04-delete-word bt05-comment \
    bt06-arcs-ij bt07-translate bt08-mirror bt09-insert-info bt10-edit-line bt11-insert-line bt12-delete-line \
    history help; do
    cp "$icons/$name.png" "$here/../Ajuda/img/$name.png"
done
rsvg-convert -w 64 -h 64 "$icons/torvel.svg" -o "$here/../Ajuda/img/torvel.png"
echo "pictures and glyphs rendered"
