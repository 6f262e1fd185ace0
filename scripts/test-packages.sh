#!/usr/bin/env bash
# Builds the two Debian packages, braxo and braxo-club, from a configured
# build tree and checks them as a player's and an operator's machine would
# meet them:
#  - lintian finds no error and no warning in either package (its other
#    findings are listed; what does not apply is overridden with its reason);
#  - the desktop entry passes desktop-file-validate, the metainfo
#    appstreamcli validate --no-net, and every screenshot it names is one
#    render_scene drew; the systemd unit passes systemd-analyze verify;
#  - both packages are unpacked into a scratch root whose /usr is then made
#    read-only; the installed braxo-club starts on a free loopback port with
#    the installed settings and answers its configuration page, and the
#    installed game starts offscreen against it, with its home in a
#    temporary folder, shows its title screen, reads the club's
#    configuration page, fills the player's folder from the installed
#    share/braxo and closes;
#  - nothing under the scratch root changed meanwhile.
# Run as root, the programs run as the user "nobody", so that the read-only
# prefix binds them as it binds a player.
#
#   bash scripts/test-packages.sh [BUILD_DIR]
#
# The listings and sizes of the packages and lintian's findings are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "${1:-${BRAXO_BUILD_DIR:-$root/build}}" && pwd)
packages_dir="$build_dir/packages"
screenshots_dir="$build_dir/packaging/screenshots"

step() { printf '\n== %s\n' "$*"; }
fail() {
  printf 'test-packages: %s\n' "$*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/braxo-packages.XXXXXX")
club_pid=""
cleanup() {
  if [ -n "$club_pid" ]; then kill "$club_pid" 2>/dev/null || true; fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
[ -z "${BRAXO_KEEP_PACKAGE_TEST:-}" ] || trap - EXIT

step "Building the packaged files and the screenshots"
cmake --build "$build_dir" --parallel 2 --target braxo braxo-club braxo_champions_file \
  braxo_settings_file braxo_desktop_icons braxo_packaging_files braxo_screenshots

step "Building the packages"
rm -rf "$packages_dir"
(cd "$build_dir" && timeout 600 cpack --config CPackConfig.cmake -B "$packages_dir" >/dev/null)
game_deb=$(find "$packages_dir" -maxdepth 1 -name 'braxo_*.deb' -print -quit)
club_deb=$(find "$packages_dir" -maxdepth 1 -name 'braxo-club_*.deb' -print -quit)
[ -n "$game_deb" ] || fail "no braxo package in $packages_dir"
[ -n "$club_deb" ] || fail "no braxo-club package in $packages_dir"
for deb in "$game_deb" "$club_deb"; do
  printf '\n%s: %s bytes, installed size %s KiB\n' "$(basename "$deb")" "$(stat -c %s "$deb")" \
    "$(dpkg-deb -f "$deb" Installed-Size)"
  dpkg-deb -f "$deb" Package Version Depends Recommends Suggests
  dpkg-deb -c "$deb"
done
dpkg-deb -f "$game_deb" Depends | grep -q 'libqt6widgets6' ||
  fail "braxo's dependencies do not come from the libraries it links"
dpkg-deb -f "$club_deb" Depends | grep -q 'libsqlite3' ||
  fail "braxo-club's dependencies do not come from the libraries it links"

step "lintian"
lintian_flags=(--fail-on error,warning --display-info)
if [ "$(id -u)" -eq 0 ]; then lintian_flags+=(--allow-root); fi
timeout 600 lintian "${lintian_flags[@]}" "$game_deb" "$club_deb" ||
  fail "lintian found errors or warnings"
echo "lintian: no errors, no warnings"

step "Unpacking into a scratch root"
scratch="$work/root"
mkdir -p "$scratch"
dpkg -x "$game_deb" "$scratch"
dpkg -x "$club_deb" "$scratch"

app_id=$(basename "$(find "$scratch/usr/share/applications" -name '*.desktop' -print -quit)" .desktop)
desktop_file="$scratch/usr/share/applications/$app_id.desktop"
metainfo_file="$scratch/usr/share/metainfo/$app_id.metainfo.xml"
unit_file="$scratch/lib/systemd/system/braxo-club.service"
for file in "$scratch/usr/games/braxo" "$desktop_file" "$metainfo_file" "$unit_file" \
  "$scratch/usr/share/braxo/Braxo.clb" \
  "$scratch/usr/share/braxo/Braxo.ini" "$scratch/usr/share/icons/hicolor/scalable/apps/braxo.svg" \
  "$scratch/usr/share/man/man6/braxo.6.gz" "$scratch/usr/share/man/man1/braxo-club.1.gz" \
  "$scratch/etc/braxo-club/club.conf" "$scratch/etc/default/braxo-club"; do
  [ -f "$file" ] || fail "not installed: ${file#"$scratch"}"
done

step "desktop-file-validate, appstreamcli validate, the screenshots"
desktop-file-validate "$desktop_file"
grep -qx "Icon=braxo" "$desktop_file" || fail "the desktop entry names another icon"
appstreamcli validate --no-net "$metainfo_file"
# Every screenshot is one render_scene drew, of the size the metainfo says.
mapfile -t screenshots < <(sed -n \
  's|.*<image[^>]* width="\([0-9]*\)" height="\([0-9]*\)">\([^<]*\)</image>.*|\1 \2 \3|p' \
  "$metainfo_file")
[ "${#screenshots[@]}" -gt 0 ] || fail "the metainfo names no screenshot with its size"
[ "${#screenshots[@]}" -eq "$(grep -c '<image' "$metainfo_file")" ] ||
  fail "a screenshot of the metainfo has no size"
for entry in "${screenshots[@]}"; do
  read -r width height url <<<"$entry"
  png="$screenshots_dir/$(basename "$url")"
  [ -s "$png" ] || fail "render_scene drew no $(basename "$url") for the metainfo's $url"
  drawn=$(python3 -c 'import struct, sys; print(*struct.unpack(">II", open(sys.argv[1], "rb").read(24)[16:24]))' "$png")
  [ "$drawn" = "$width $height" ] || fail "$(basename "$url") is $drawn, the metainfo says $width $height"
done
echo "screenshots: ${#screenshots[@]} named, all drawn in $screenshots_dir at their sizes"

step "systemd-analyze verify"
# In a root of its own: this system's units (the targets the unit names) with
# the club's package unpacked over them, so that the unit's program and
# manual page are the installed ones. Unknown keys are only warned about, so
# any message fails the check.
verify_root="$work/verify-root"
mkdir -p "$verify_root/lib/systemd"
cp -a /lib/systemd/system "$verify_root/lib/systemd/"
dpkg -x "$club_deb" "$verify_root"
verify_out=$(MANPATH="$verify_root/usr/share/man" systemd-analyze verify --root="$verify_root" \
  /lib/systemd/system/braxo-club.service 2>&1) || fail "systemd-analyze verify: $verify_out"
[ -z "$verify_out" ] || fail "systemd-analyze verify: $verify_out"
echo "systemd-analyze verify: no problems"

step "Running the installed programs from a read-only prefix"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
home="$work/home"
mkdir -p "$home" "$work/run" "$work/club"
chmod 0700 "$work/run"
chmod 0755 "$work"
if [ "$(id -u)" -eq 0 ]; then chown -R nobody:nogroup "$home" "$work/run" "$work/club"; fi
chmod -R a-w "$scratch"
listing() { (cd "$scratch" && find . -printf '%M %u %g %s %p\n' | sort && find . -type f -print0 |
  sort -z | xargs -0 sha256sum); }
listing >"$work/before.txt"

"${run_as[@]}" "$scratch/usr/bin/braxo-club" --listen 127.0.0.1:0 \
  --database "sqlite:$work/club/club.db" --config "$scratch/etc/braxo-club/club.conf" \
  >"$work/club.out" 2>"$work/club.log" &
club_pid=$!
club_url=""
for _ in $(seq 100); do
  club_url=$(sed -n 's|^listening on \(http://127.0.0.1:[0-9]*/\)$|\1|p' "$work/club.out")
  [ -n "$club_url" ] && break
  kill -0 "$club_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$club_url" ] || fail "the installed braxo-club did not start: $(cat "$work/club.log")"
echo "braxo-club listening on $club_url"
config_page=$(curl -fsS --max-time 10 "${club_url}config")
grep -q '^StatPath=' <<<"$config_page" || fail "the configuration page is not the club's"
echo "configuration page: $(wc -l <<<"$config_page") lines"

set +e
"${run_as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
  XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/run" \
  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy BRAXO_CONFIG_URL="${club_url}config" \
  BRAXO_EXIT_AFTER_TITLE_MS=500 BRAXO_TITLE_SNAPSHOT="$home/title.png" \
  timeout 60 "$scratch/usr/games/braxo" >"$work/game.out" 2>"$work/game.err"
game_status=$?
set -e
kill "$club_pid"
wait "$club_pid" || true
club_pid=""
[ "$game_status" -eq 0 ] || fail "the installed game ended with status $game_status: $(cat "$work/game.err")"
grep -qx "title screen shown" "$work/game.out" || fail "the installed game showed no title screen"
# The picture is the title screen render_scene draws: the sprites fly and the
# caption's letters change colour, but the box below the caption (the date,
# the makers, the mark and the version) and the black margins are still.
python3 - "$home/title.png" "$screenshots_dir/title.png" <<'EOF' || fail "the installed game's window is not the title screen"
import struct, sys, zlib

def read_png(path):
    """Rows of (r, g, b) of an 8-bit RGB or RGBA PNG, as Qt writes them."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(path + ": not a PNG")
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if depth != 8 or colour not in (2, 6):
        sys.exit(path + ": not 8-bit RGB or RGBA")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        prev = line
    return (width, height), rows

(size, shown), (expected_size, expected) = read_png(sys.argv[1]), read_png(sys.argv[2])
if size != (850, 510) or expected_size != size:
    sys.exit("sizes %s and %s, not 850 x 510" % (size, expected_size))
still = [(x, y) for y in range(205, 345) for x in range(226, 625)]
still += [(x, y) for y in range(510) for x in list(range(140)) + list(range(710, 850))]
differ = sum(1 for x, y in still if shown[y][x] != expected[y][x])
print("title screen: %d of %d still pixels differ from render_scene's" % (differ, len(still)))
sys.exit(1 if differ else 0)
EOF
grep -q ' GET /config ' "$work/club.log" || fail "the game did not read the club's configuration page"
echo "the club answered:" && grep -E '^[0-9]{4}-' "$work/club.log" | awk '{print $3, $4, $6}' | sort | uniq -c
data="$home/.local/share/braxo"
cmp -s "$data/Braxo.clb" "$scratch/usr/share/braxo/Braxo.clb" ||
  fail "the player's champions table is not the installed one"
[ -s "$data/Braxo.ini" ] || fail "the game wrote no settings into the player's folder"
echo "the player's folder holds: $(cd "$data" && ls | paste -sd ' ')"

listing >"$work/after.txt"
if ! diff -u "$work/before.txt" "$work/after.txt"; then
  fail "something under the installed prefix changed while the programs ran"
fi
echo "nothing changed under the scratch root"
step "Packages passed: $(basename "$game_deb") $(basename "$club_deb")"
