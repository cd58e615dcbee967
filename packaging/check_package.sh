#!/usr/bin/env bash
# Builds the Debian packages from a built tree and checks them: their file lists, dependencies and
# lintian's verdict, the hardening of every binary, the manual page, the AppStream file, the desktop
# entry and MIME package; that the program starts and opens a project, both unpacked and installed by
# dpkg, where it registers nothing for the user; that the probe library loads by its plain name; and
# that a purge leaves no file behind.
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
  { cat "$work/cpack.txt" >&2; fail "cpack could not build the packages"; }
architecture=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
version=$(sed -nE 's/^set\(CPACK_PACKAGE_VERSION "(.*)"\)$/\1/p' "$build/CPackConfig.cmake")
packages=(brisvane libvestra1 libvestra-dev)
debs=()
for package in "${packages[@]}"; do
  deb="$build/package/${package}_${version}_${architecture}.deb"
  [ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$build/package")"
  debs+=("$deb")
done
[ "$(ls "$build/package"/*.deb | wc -l)" -eq ${#packages[@]} ] || fail "cpack made other packages: $(ls "$build/package")"

# The files of each package, exactly.
id=Tarvossa_BrisvanePro
documents() {
  echo "usr/share/doc/$1/copyright"
  echo "usr/share/doc/$1/changelog.gz"
}
{
  echo usr/bin/brisvane
  for file in brisvane libTarvossa_BrisvanePro.so libhost.so liborvo.so libzel2d.so libzelui.so; do
    echo "usr/lib/brisvane/$file"
  done
  for picture in "$source_dir"/module/resources/*.png; do
    echo "usr/share/brisvane/resources/$(basename "$picture")"
  done
  echo "usr/share/applications/$id.desktop"
  echo "usr/share/mime/packages/$id.xml"
  echo usr/share/metainfo/com.example.brisvane.BrisvanePro.metainfo.xml
  echo usr/share/man/man1/brisvane.1.gz
  for icon in "$source_dir"/packaging/icons/*.png; do
    size=$(basename "$icon" .png)
    echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
  done
  documents brisvane
} | sort > "$work/expected-brisvane"
{
  echo "usr/lib/$multiarch/libvestra.so.1"
  echo "usr/lib/$multiarch/libvestra.so.1.0.0"
  documents libvestra1
} | sort > "$work/expected-libvestra1"
{
  echo "usr/lib/$multiarch/libvestra.so"
  echo usr/include/vestra.h
  documents libvestra-dev
} | sort > "$work/expected-libvestra-dev"
for i in "${!packages[@]}"; do
  dpkg-deb -c "${debs[$i]}" | grep -v '^d' | awk '{print $6}' | sed 's|^\./||' | sort > "$work/files"
  diff -u "$work/expected-${packages[$i]}" "$work/files" >&2 ||
    fail "the files of ${packages[$i]} differ from the expected ones (- expected, + packaged)"
done
link_target() {
  dpkg-deb -c "$1" | awk -v file="./$2" '$6 == file {print $8}'
}
[ "$(link_target "${debs[0]}" usr/bin/brisvane)" = ../lib/brisvane/brisvane ] || fail "usr/bin/brisvane does not link to the program"
[ "$(link_target "${debs[1]}" "usr/lib/$multiarch/libvestra.so.1")" = libvestra.so.1.0.0 ] || fail "libvestra.so.1 does not link to the library"
[ "$(link_target "${debs[2]}" "usr/lib/$multiarch/libvestra.so")" = libvestra.so.1 ] || fail "libvestra.so does not link to libvestra.so.1"

# Dependencies: the program's computed from the libraries it links, the fonts and the link openers;
# the library's own; the development files' on the library of the same version.
field() {
  dpkg-deb -f "$1" "$2" | tr ',' '\n' | awk '{print $1}'
}
for package in libc6 libstdc++6 libsdl2-2.0-0 libcairo2 libpng16-16 libjpeg62-turbo libfontconfig1 libpugixml1v5 libsystemd0 fonts-dejavu-core fonts-liberation sensible-utils; do
  field "${debs[0]}" Depends | grep -Fxq "$package" || fail "brisvane does not depend on $package: $(dpkg-deb -f "${debs[0]}" Depends)"
done
for package in xdg-utils shared-mime-info desktop-file-utils; do
  field "${debs[0]}" Recommends | grep -Fxq "$package" || fail "brisvane does not recommend $package"
done
field "${debs[1]}" Depends | grep -Fxq libc6 || fail "libvestra1 does not depend on libc6"
[ "$(dpkg-deb -f "${debs[2]}" Depends)" = "libvestra1 (= $version)" ] || fail "libvestra-dev does not depend on libvestra1 (= $version)"
dpkg-deb --ctrl-tarfile "${debs[1]}" | tar -xO ./shlibs | grep -qx "libvestra 1 libvestra1 (>= $version)" ||
  fail "libvestra1 has no shlibs entry for libvestra.so.1"
# The symbols file lists exactly what the library exports.
dpkg-deb --ctrl-tarfile "${debs[1]}" | tar -xO ./symbols | sed -nE 's/^ ([^@]+)@Base .*/\1/p' | sort > "$work/symbols"
dpkg-deb --fsys-tarfile "${debs[1]}" | tar -xO "./usr/lib/$multiarch/libvestra.so.1.0.0" > "$work/libvestra.so"
nm -D --defined-only "$work/libvestra.so" | awk '{print $3}' | sort > "$work/exported"
diff -u "$work/symbols" "$work/exported" >&2 || fail "libvestra1's symbols file differs from what the library exports (+ exported)"

# Debian's own verdict: no error and no warning in any package.
for deb in "${debs[@]}"; do
  lintian --fail-on error,warning "$deb" > "$work/lintian.txt" 2>&1 ||
    { cat "$work/lintian.txt" >&2; fail "lintian finds errors or warnings in $(basename "$deb")"; }
done

# Every binary is hardened: read-only relocations bound at start-up, the stack protector, the
# fortified C library calls (where it calls a function that has a fortified variant), and a
# position-independent program.
root="$work/root"
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$root"; done
fortifiable=$(grep -v '^#' /usr/share/lintian/data/binaries/hardened-functions | grep .)
binaries=("$root"/usr/lib/brisvane/brisvane "$root"/usr/lib/brisvane/*.so "$root/usr/lib/$multiarch/libvestra.so.1.0.0")
for binary in "${binaries[@]}"; do
  name=$(basename "$binary")
  readelf -d "$binary" | grep -Eq 'BIND_NOW|FLAGS.*[[:space:]]NOW' || fail "$name is not bound at start-up (-z now)"
  readelf -lW "$binary" | grep -q GNU_RELRO || fail "$name has no read-only relocations (-z relro)"
  nm -D --undefined-only "$binary" | awk '{print $2}' | sed 's/@.*//' > "$work/imports"
  grep -qx __stack_chk_fail "$work/imports" || fail "$name is built without the stack protector"
  if grep -Fxf <(echo "$fortifiable") "$work/imports" > /dev/null && ! grep -q '^__.*_chk$' "$work/imports"; then
    fail "$name calls no fortified function (-D_FORTIFY_SOURCE)"
  fi
  if readelf -d "$binary" | grep -E 'RPATH|RUNPATH' | grep -q "$build"; then
    fail "$name looks for libraries in the build tree"
  fi
done
readelf -d "$root/usr/lib/brisvane/brisvane" | grep -Eq 'FLAGS_1.*[[:space:]]PIE' || fail "the program is not position-independent"

# The manual page, the AppStream file, the desktop entry and the MIME package.
man --warnings -l -Tutf8 "$root/usr/share/man/man1/brisvane.1.gz" 2>&1 > /dev/null | tee "$work/man.txt" >&2
[ ! -s "$work/man.txt" ] || fail "the manual page has faults"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml > "$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt" >&2; fail "the AppStream file is not valid"; }
grep -q "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml || fail "the AppStream file has no release $version"
desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "the desktop entry is not valid"
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/$id.xml" "$work/mime/packages/"
update-mime-database "$work/mime" > "$work/mime.txt" 2>&1 ||
  { cat "$work/mime.txt" >&2; fail "the MIME package does not load"; }
for type in x-tvsx x-tvsx_presets; do
  [ -f "$work/mime/application/$type.xml" ] || fail "the MIME package defines no application/$type"
done

# The program as unpacked, where the desktop does not look: it registers itself for the user.
run_session() {
  env -u LD_LIBRARY_PATH SDL_VIDEODRIVER=offscreen sh "$source_dir/tests/host/brisvane_session.sh" "$@" \
    > "$work/session.txt" 2>&1 || { cat "$work/session.txt" >&2; fail "the program did not run its session ($*)"; }
}
run_session "$root/usr/bin/brisvane"

# Installed by dpkg into a root folder of its own (with a database of its own, which takes the
# system's packages for given), the program finds its entry in the system's share folder and writes
# nothing for the user; programs load the probe library by its plain name; a purge leaves no file.
if [ "$(id -u)" = 0 ]; then
  installed="$work/installed"
  mkdir -p "$installed/var/lib/dpkg/info" "$installed/var/lib/dpkg/updates"
  touch "$installed/var/lib/dpkg/status"
  dpkg --root="$installed" --log=/dev/null --force-depends --install "${debs[@]}" > "$work/dpkg.txt" 2>&1 ||
    { cat "$work/dpkg.txt" >&2; fail "dpkg could not install the packages"; }
  run_session "$installed/usr/bin/brisvane" "$installed/usr/share"
  LD_LIBRARY_PATH="$installed/usr/lib/$multiarch" python3 -c \
    'import ctypes; assert ctypes.CDLL("libvestra.so")._Z13kern_max_procv() > 0' ||
    fail "the probe library does not load by its plain name"
  dpkg --root="$installed" --log=/dev/null --purge "${packages[@]}" > "$work/dpkg.txt" 2>&1 ||
    { cat "$work/dpkg.txt" >&2; fail "dpkg could not purge the packages"; }
  left=$(cd "$installed" && find . -mindepth 1 -not -path './var' -not -path './var/lib' -not -path './var/lib/dpkg*')
  [ -z "$left" ] || fail "the purge left files behind: $left"
else
  echo "package check: installing with dpkg needs root, so that step is left out"
fi

# Installed straight into a prefix, the loader's cache is rebuilt when the loader lists the
# prefix's library folder, and only then. A stand-in ldconfig lists "$work/listed/lib/MULTIARCH"
# and records each rebuild.
mkdir -p "$work/tools"
cat > "$work/tools/ldconfig" <<EOF
#!/bin/sh
if [ "\$1" = -N ]; then echo "$work/listed/lib/$multiarch: (from brisvane-test.conf:1)"; else echo rebuilt >> "$work/ldconfig.txt"; fi
EOF
chmod +x "$work/tools/ldconfig"
for prefix in listed unlisted; do
  rm -f "$work/ldconfig.txt"
  PATH="$work/tools:$PATH" cmake --install "$build" --prefix "$work/$prefix" > "$work/install.txt" 2>&1 ||
    { cat "$work/install.txt" >&2; fail "installing into a prefix failed"; }
  [ -f "$work/$prefix/lib/$multiarch/libvestra.so.1" ] || fail "installing into a prefix wrote no lib/$multiarch/libvestra.so.1"
  [ -f "$work/$prefix/share/brisvane/resources/logo.png" ] || fail "installing into a prefix wrote no resources under share/"
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

for deb in "${debs[@]}"; do
  echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $(dpkg-deb -f "$deb" Depends)"
done
