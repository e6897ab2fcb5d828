#!/usr/bin/env bash
# The Debian package: built by CPack, its dependencies from the linked libraries, its menu
# entry and metadata accepted by the validators, and the binary it installs opens the window.
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

dpkg-deb -x "$deb" "$staging/root"
share=$staging/root/usr/share
desktop-file-validate "$share/applications/org.jangora.Jangora.desktop" || fail "menu entry refused"
appstreamcli validate --no-net "$share/metainfo/org.jangora.Jangora.metainfo.xml" || fail "metadata refused"
for size in 16 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x${size}/apps/org.jangora.Jangora.png
    [[ $(identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "no ${size} px icon"
done

start_x
game=$staging/root/usr/bin/jangora
start_game
echo "the installed binary opened its window"
