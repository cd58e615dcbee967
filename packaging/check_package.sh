#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it: its file list, its dependencies, its
# desktop entry and MIME package, and that the program it holds starts, opens a project and quits.
# check_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: check_package.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package check failed: $*" >&2
  exit 1
}

rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -B "$build/package" -G DEB > "$work/cpack.txt" 2>&1 ||
  { cat "$work/cpack.txt" >&2; fail "cpack could not build the package"; }
debs=("$build/package"/brisvane_*_"$(dpkg --print-architecture)".deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single package: ${debs[*]}"
deb=${debs[0]}

# The files, exactly: the program folder, the link to it, the probe library, the desktop files.
id=Tarvossa_BrisvanePro
{
  echo usr/bin/brisvane
  for file in brisvane libTarvossa_BrisvanePro.so libhost.so liborvo.so libzel2d.so libzelui.so; do
    echo "usr/lib/brisvane/$file"
  done
  for picture in "$source_dir"/module/resources/*.png; do
    echo "usr/lib/brisvane/resources/$(basename "$picture")"
  done
  echo usr/lib/libvestra.so
  echo "usr/share/applications/$id.desktop"
  echo "usr/share/mime/packages/$id.xml"
  for icon in "$source_dir"/packaging/icons/*.png; do
    size=$(basename "$icon" .png)
    echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
} | sort > "$work/expected"
dpkg-deb -c "$deb" | grep -v '^d' | awk '{print $6}' | sed 's|^\./||' | sort > "$work/files"
diff -u "$work/expected" "$work/files" >&2 || fail "the file list differs from the expected one (- expected, + packaged)"
[ "$(dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/brisvane" {print $8}')" = ../lib/brisvane/brisvane ] ||
  fail "usr/bin/brisvane does not link to the program"

# Computed dependencies: the libraries the program links, each in its package, and the fonts.
depends=$(dpkg-deb -f "$deb" Depends)
tr ',' '\n' <<<"$depends" | awk '{print $1}' > "$work/depends"
for package in libc6 libstdc++6 libsdl2-2.0-0 libcairo2 libpng16-16 libjpeg62-turbo libfontconfig1 libpugixml1v5 libsystemd0 fonts-dejavu-core fonts-liberation; do
  grep -Fxq "$package" "$work/depends" || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$work/root"
for binary in "$work"/root/usr/lib/brisvane/brisvane "$work"/root/usr/lib/brisvane/*.so "$work"/root/usr/lib/libvestra.so; do
  if readelf -d "$binary" | grep -E 'RPATH|RUNPATH' | grep -q "$build"; then
    fail "$(basename "$binary") looks for libraries in the build tree"
  fi
done
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
mkdir -p "$work/mime/packages"
cp "$work/root/usr/share/mime/packages/$id.xml" "$work/mime/packages/"
update-mime-database "$work/mime" > "$work/mime.txt" 2>&1 ||
  { cat "$work/mime.txt" >&2; fail "the MIME package does not load"; }
for type in x-tvsx x-tvsx_presets; do
  [ -f "$work/mime/application/$type.xml" ] || fail "the MIME package defines no application/$type"
done

# The program as installed, on a project named on its command line.
env -u LD_LIBRARY_PATH SDL_VIDEODRIVER=offscreen sh "$source_dir/tests/host/brisvane_session.sh" "$work/root/usr/bin/brisvane" \
  > "$work/session.txt" 2>&1 || { cat "$work/session.txt" >&2; fail "the installed program did not run its session"; }

# Installed straight into a prefix, the loader's cache is rebuilt when the loader lists the
# prefix's lib folder, and only then. A stand-in ldconfig lists "$work/listed/lib" and records
# each rebuild.
mkdir -p "$work/tools"
cat > "$work/tools/ldconfig" <<EOF
#!/bin/sh
if [ "\$1" = -N ]; then echo "$work/listed/lib: (from brisvane-test.conf:1)"; else echo rebuilt >> "$work/ldconfig.txt"; fi
EOF
chmod +x "$work/tools/ldconfig"
for prefix in listed unlisted; do
  rm -f "$work/ldconfig.txt"
  PATH="$work/tools:$PATH" cmake --install "$build" --prefix "$work/$prefix" > "$work/install.txt" 2>&1 ||
    { cat "$work/install.txt" >&2; fail "installing into a prefix failed"; }
  [ -f "$work/$prefix/lib/libvestra.so" ] || fail "installing into a prefix wrote no lib/libvestra.so"
  rebuilt=$(cat "$work/ldconfig.txt" 2>/dev/null || true)
  if [ "$prefix" = unlisted ]; then
    [ -z "$rebuilt" ] || fail "installing into a folder that the loader does not list rebuilt its cache"
  elif [ "$(id -u)" = 0 ]; then
    [ "$rebuilt" = rebuilt ] || fail "installing into a folder that the loader lists did not rebuild its cache once"
  else
    grep -q "Run ldconfig as root" "$work/install.txt" ||
      fail "installing as a user into a folder that the loader lists did not say to run ldconfig"
  fi
done

echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $depends"
