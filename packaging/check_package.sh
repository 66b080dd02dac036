#!/usr/bin/env bash
# Checks what `cmake --install` and the Debian package deliver.
#
# Usage: check_package.sh install BUILD_DIR APP_ID ICON_SIZE...
#        check_package.sh deb     BUILD_DIR OUT_DIR VERSION   (makes the package in OUT_DIR)
#        check_package.sh lintian OUT_DIR
# Exit status: 0 passed, 1 failed, 77 skipped (a checking tool is missing).
set -uo pipefail

mode=${1:?mode}
shift
fail() { echo "FAIL [packaging.$mode]: $*" >&2; exit 1; }
skip() { echo "SKIPPED [packaging.$mode]: $*" >&2; exit 77; }
need() { command -v "$1" >/dev/null 2>&1 || skip "'$1' is not installed (./scripts/setup installs it)"; }

case "$mode" in
  install)
    build=$1 app_id=$2
    shift 2
    need desktop-file-validate
    need appstreamcli
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarvane-package.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
      { cat "$work/install.log" >&2; fail "cmake --install failed"; }
    usr="$work/root/usr"
    # What a desktop installation consists of; Debian's own files are lintian's to check.
    expected=(bin/tarvane bin/tarvane-convert "share/applications/$app_id.desktop"
              "share/metainfo/$app_id.metainfo.xml" share/icons/hicolor/scalable/apps/tarvane.svg)
    for side in "$@"; do expected+=("share/icons/hicolor/${side}x${side}/apps/tarvane.png"); done
    # The web page, where the build made it (the plain build, with Debian's emscripten).
    if [ "${TARVANE_WEB_SITE_INSTALLED:-}" = 1 ]; then
      expected+=(share/tarvane/web/index.html share/tarvane/web/tarvane.wasm share/tarvane/web/grids.tsv share/tarvane/web/sw.js)
    fi
    for path in "${expected[@]}"; do
      [ -s "$usr/$path" ] || fail "not installed: $path"
    done
    grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/tarvane.svg" || fail "the scalable icon is no SVG"
    [ -x "$usr/bin/tarvane" ] && [ -x "$usr/bin/tarvane-convert" ] || fail "a program is not executable"
    desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
    # The tree as a whole: the metainfo's launchable and icon must be found.
    appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
    # The manual page made from tarvane-convert's help reads as the help is written.
    need man
    page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$usr/share/man/man1/tarvane-convert.1.gz" 2>&1) ||
      fail "man cannot show tarvane-convert.1"
    grep -qF "29°30'15.5\"N" <<<"$page" || fail "the manual page of tarvane-convert garbles the degree sign"
    grep -qF "  signed decimal degrees      29.504306   -95.25" <<<"$page" ||
      fail "the manual page of tarvane-convert runs its examples together"
    ;;

  deb)
    build=$1 out=$2 version=$3
    need dpkg-deb
    need dpkg-shlibdeps
    rm -rf "$out"
    cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || { cat "$out.log" >&2; fail "cpack failed"; }
    deb="$out/tarvane_${version}_$(dpkg --print-architecture).deb"
    [ -f "$deb" ] || { ls "$out" >&2; fail "no package named $(basename "$deb")"; }
    # dpkg-shlibdeps finds the libraries; the font is declared by hand.
    depends=$(dpkg-deb -f "$deb" Depends)
    for dependency in libqt6widgets6 fonts-liberation; do
      pattern="(^|[ ,])$dependency([ ,(]|\$)"
      [[ "$depends" =~ $pattern ]] || fail "Depends lacks $dependency: $depends"
    done
    echo "$(basename "$deb"): Depends: $depends"
    ;;

  lintian)
    out=$1
    need lintian
    debs=("$out"/tarvane_*.deb)
    [ -f "${debs[0]}" ] || fail "no package in $out (packaging.deb makes it)"
    # Errors and warnings fail. Info and pedantic tags are shown but do not
    # fail: they are advice, and today they ask for Debian's default build
    # flags (bind-now, fortified functions), which only a build through
    # dpkg-buildpackage gets, and for the .comment section (the compiler's
    # version) that CPack's strip leaves in.
    lintian --fail-on error,warning --display-info --pedantic "${debs[@]}" || fail "lintian (see above)"
    ;;

  *) fail "unknown mode" ;;
esac
echo "packaging.$mode passed"
