#!/usr/bin/env bash
# The Debian package: built by CPack, checked by lintian and the metadata validators; the game
# it installs opens its window with the icon in every size the package installs.
source "$(dirname "$0")/lib.sh" "$@"

staging=$(mktemp -d)
trap 'rm -rf "$staging"; cleanup' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$staging/out" >/dev/null
deb=$(ls "$staging"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libcups2 libc6 fonts-liberation2; do
    [[ "$depends" == *"$library"* ]] || fail "the package does not depend on $library"
done
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || fail "qt6-wayland is not recommended"

lintian --tag-display-limit 0 --fail-on error,warning "$deb" || fail "lintian found the faults above"

dpkg-deb -x "$deb" "$staging/root"
share=$staging/root/usr/share
desktop-file-validate "$share/applications/org.jangora.Jangora.desktop" || fail "menu entry refused"
appstreamcli validate --no-net "$share/metainfo/org.jangora.Jangora.metainfo.xml" || fail "metadata refused"
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/org.jangora.Jangora.png
    [[ $(identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "no ${size} px icon"
done

start_x
game=$staging/root/usr/games/jangora
start_game
sleep 0.5 # the larger icons follow the first frame
icons=$(xprop -len 2000000 -id "$window" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | sort -V |
    tr '\n' ' ')
echo "the installed game opened its window; its icons: $icons"
for size in 16 32 48 64 128 256; do
    [[ $icons == *"($size x $size)"* ]] || fail "the window has no $size px icon"
done
