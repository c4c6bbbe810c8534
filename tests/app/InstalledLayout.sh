#!/bin/sh
# `cmake --install` into a fresh prefix puts the installed program in place (both executables,
# the data, the desktop entry, the AppStream listing, the icons at every size), and the program
# starts from there: it reads its data from share/tessaro, keeps its settings in the user's
# configuration folder, shows its main window, loads its player module from lib/tessaro, closes on
# request with status 0 and leaves the prefix exactly as installed. The spreadsheet libraries are
# the export module's (lib/tessaro), not the program's.
#   InstalledLayout.sh <build dir> <app id> <CloseOnRequest.sh>
build=$1 id=$2 closer=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed"; exit 1; }

failed=0
fail() { echo "$*"; failed=1; }
# The width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }

for f in bin/tessaro bin/tessaro-quote lib/tessaro/libtessaro_player.so \
         lib/tessaro/libtessaro_export.so share/tessaro/Lang_0.xml share/tessaro/Lang_1.xml \
         share/tessaro/ProductParameter.csv share/tessaro/Tessaro.css share/tessaro/Skin/logo.png \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg; do
    [ -s "$prefix/$f" ] || fail "missing: $f"
done
for f in "User's Eng Guide.pdf" "User's Chn Guide.pdf"; do
    [ -s "$prefix/share/tessaro/$f" ] || fail "missing: share/tessaro/$f"
done
[ "$(png_size "$prefix/share/tessaro/Skin/bg_toolbar@2x.png")" = 192x170 ] ||
    fail "bg_toolbar@2x.png is not twice bg_toolbar.png (96 x 85)"
for n in 16 22 24 32 48 64 128 256 512; do
    icon=$prefix/share/icons/hicolor/${n}x$n/apps/$id.png
    [ -s "$icon" ] && [ "$(png_size "$icon")" = "${n}x$n" ] || fail "no ${n}x$n icon"
done
ldd "$prefix/bin/tessaro" | grep -E 'libxlsxwriter|libzip' &&
    fail "the program maps the spreadsheet libraries at its start"
deps=$(ldd "$prefix/lib/tessaro/libtessaro_export.so")
echo "$deps" | grep -q 'libxlsxwriter.* => /' && ! echo "$deps" | grep -q 'not found' ||
    fail "the export module's libraries do not all resolve: $deps"
[ "$failed" -eq 0 ] || exit 1

find "$prefix" -printf '%p %m %s %T@\n' | sort >"$work/before"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
sh "$closer" "$prefix/bin/tessaro" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
grep -q "7 application directory $prefix/share/tessaro\$" "$work/log" ||
    fail "the data was not read from $prefix/share/tessaro"
grep -q "10 settings file $work/config/tessaro/" "$work/log" ||
    fail "the settings file is not in the user's configuration folder"
# The player module is loaded after the first paint: a second run waits for the loader's word.
QT_LOGGING_RULES="tessaro.video.info=true;tessaro.video.warning=true" "$prefix/bin/tessaro" >"$work/player" 2>&1 &
pid=$!
waited=0
until grep -q "player module" "$work/player" || [ "$waited" -ge 100 ]; do
    waited=$((waited + 1))
    sleep 0.1
done
kill -TERM "$pid" 2>/dev/null
wait "$pid"
grep -q "player module loaded from $prefix/lib/tessaro/libtessaro_player.so\$" "$work/player" ||
    { cat "$work/player"; fail "the installed program did not load its player module"; }
find "$prefix" -printf '%p %m %s %T@\n' | sort >"$work/after"
diff "$work/before" "$work/after" || fail "the run changed the installed files"
[ "$failed" -eq 0 ] || { cat "$work/log"; exit 1; }
echo "installed and started from $prefix"
