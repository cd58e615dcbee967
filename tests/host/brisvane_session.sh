#!/bin/sh
# Starts the program on a project with an empty home folder, waits until its window has been built, ends
# the session and checks what the program did: brisvane_session.sh PATH_TO_BRISVANE [SHARE_FOLDER]
# Without SHARE_FOLDER the program runs as from a build tree, with no installed desktop entry anywhere, and
# registers itself for the user. SHARE_FOLDER is the system's share folder of an installed program, which
# holds its desktop entry: the program then writes no desktop entry and no MIME database for the user.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/home"
unset XDG_DATA_HOME
export HOME="$folder/home" XDG_DATA_DIRS="${2:-$folder/system}"
data="$HOME/.local/share"
printf 'BRISVANE_LED_PROJECT v2 1 0\n1 12\nName:Opened\n' > "$folder/wall.tvsx"
"$1" "$folder/wall.tvsx" > "$folder/out.txt" 2>&1 &
pid=$!
tries=0
while [ ! -s "$data/Brisvane/settings_layout.network_payload" ] && [ $tries -lt 100 ]; do
   sleep 0.1
   tries=$((tries + 1))
done
sleep 0.5
kill -TERM $pid
wait $pid
status=$?
cat "$folder/out.txt"
fail() { echo "failed: $1"; exit 1; }
[ $status -eq 0 ] || fail "the program ended with status $status"
grep -q "application started but no project -> load_default_layers" "$folder/out.txt" || fail "no default document"
grep -q "application::on_request e_command_file_open : $folder/wall.tvsx" "$folder/out.txt" || fail "the project was not opened"
grep -q "boxes_visible=1" "$data/Brisvane/settings_layout.network_payload" || fail "no tool-window layout"
if [ -n "$2" ]; then
   [ ! -e "$data/applications" ] || fail "the installed program wrote a desktop entry for the user: $(ls "$data/applications")"
   [ ! -e "$data/mime" ] || fail "the installed program wrote a MIME database for the user"
else
   [ -f "$data/mime/packages/Tarvossa_BrisvanePro-association.xml" ] || fail "no file association"
   grep -qFx "Exec=\"$(readlink -f "$1")\" %f" "$data/applications/Tarvossa_BrisvanePro.desktop" ||
      fail "the desktop entry does not start this program"
   [ -f "$data/mime/mime.cache" ] || fail "no MIME database for the user"
fi
echo "the session passed"
