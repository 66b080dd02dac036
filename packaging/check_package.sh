#!/usr/bin/env bash
# Checks what `cmake --install` and the Debian package deliver.
#
# Usage: check_package.sh install BUILD_DIR APP_ID ICON_SIZE...
#        check_package.sh deb     BUILD_DIR APP_ID VERSION ICON_SIZE...
# Exit status: 0 passed, 1 failed, 77 skipped (a checking tool is missing).
set -uo pipefail

mode=${1:?mode}
build=${2:?build directory}
app_id=${3:?application id}
shift 3
if [ "$mode" = deb ]; then
  version=${1:?version}
  shift
fi
sizes=("$@")

fail() { echo "FAIL [packaging.$mode]: $*" >&2; exit 1; }
skip() { echo "SKIPPED [packaging.$mode]: $*" >&2; exit 77; }
need() { command -v "$1" >/dev/null 2>&1 || skip "'$1' is not installed (./scripts/setup installs it)"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvane-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Paths below the prefix that a desktop installation of TARVANE consists of.
expected=(
  bin/tarvane
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  share/icons/hicolor/scalable/apps/tarvane.svg
)
for side in "${sizes[@]}"; do expected+=("share/icons/hicolor/${side}x${side}/apps/tarvane.png"); done

case "$mode" in
  install)
    need desktop-file-validate
    need appstreamcli
    need file
    DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
      { cat "$work/install.log" >&2; fail "cmake --install failed"; }
    usr="$work/root/usr"
    for path in "${expected[@]}"; do
      [ -s "$usr/$path" ] || fail "not installed: $path"
    done
    [ -x "$usr/bin/tarvane" ] || fail "bin/tarvane is not executable"
    for side in "${sizes[@]}"; do
      file "$usr/share/icons/hicolor/${side}x${side}/apps/tarvane.png" |
        grep -q "PNG image data, $side x $side," || fail "the ${side}x${side} icon is not a $side-pixel PNG"
    done
    grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/tarvane.svg" || fail "the scalable icon is no SVG"
    desktop-file-validate "$usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
    appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml" ||
      fail "appstreamcli validate"
    # The tree as a whole: the metainfo's launchable and icon must be found.
    appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
    ;;

  deb)
    need dpkg-deb
    need dpkg-shlibdeps
    need file
    [ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
    cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
      { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    arch=$(dpkg --print-architecture)
    deb="$work/out/tarvane_${version}_${arch}.deb"
    [ -f "$deb" ] || { ls "$work/out" >&2; fail "no package named $(basename "$deb")"; }
    dpkg-deb -f "$deb" >"$work/control" || fail "unreadable package"
    field() { sed -n "s/^$1: //p" "$work/control"; }
    [ "$(field Package)" = tarvane ] || fail "Package is '$(field Package)'"
    [ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
    [ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
    depends=$(field Depends)
    for dependency in libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation; do
      pattern="(^|[ ,])$dependency([ ,(]|\$)"
      [[ "$depends" =~ $pattern ]] || fail "Depends lacks $dependency: $depends"
    done
    dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
    for path in "${expected[@]}"; do
      grep -qx "\./usr/$path" "$work/contents" || fail "not in the package: /usr/$path"
    done
    echo "$(basename "$deb"): Depends: $depends"
    ;;

  *) fail "unknown mode" ;;
esac
echo "packaging.$mode passed"
