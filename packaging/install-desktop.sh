#!/usr/bin/env bash
# Registers the built client with the desktop for the current user, so that "kelvamor:" links
# (and the Talvo and Mireb apps' answers) open it. A second launch with a URL hands the URL to
# the running client and exits.
#
#   bash packaging/install-desktop.sh [path/to/tavrix]     (default: build/dev/tavrix)
#   bash packaging/install-desktop.sh --uninstall
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
apps="${XDG_DATA_HOME:-$HOME/.local/share}/applications"
target="$apps/tavrix.desktop"
schemes=$(sed -n 's/^MimeType=//p' "$here/tavrix.desktop" | tr ';' ' ')

if [ "${1:-}" = "--uninstall" ]; then
    rm -f "$target"
    command -v update-desktop-database >/dev/null && update-desktop-database "$apps" || true
    echo "removed $target"
    exit 0
fi

binary="$(realpath "${1:-$here/../build/dev/tavrix}")"
[ -x "$binary" ] || { echo "no client at $binary (build it first)" >&2; exit 1; }
# Web pages need the browser engine's module beside the client.
[ -e "$(dirname "$binary")/libtavrix_webengine.so" ] ||
    echo "warning: no libtavrix_webengine.so beside $binary: web pages will not open" >&2
mkdir -p "$apps"
# The desktop file runs the client by absolute path; the path is quoted for spaces.
sed "s|^Exec=.*|Exec=\"$binary\" %u|" "$here/tavrix.desktop" >"$target.tmp"
mv "$target.tmp" "$target"
if command -v xdg-mime >/dev/null; then
    for s in $schemes; do xdg-mime default tavrix.desktop "$s"; done
fi
command -v update-desktop-database >/dev/null && update-desktop-database "$apps" || true
echo "installed $target for: $schemes"
