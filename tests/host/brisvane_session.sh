#!/bin/sh
# Starts the program on a project in a private data folder, waits until its window has been built, ends the
# session and checks what the program did: brisvane_session.sh PATH_TO_BRISVANE
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export XDG_DATA_HOME="$folder/data" HOME="$folder"
printf 'BRISVANE_LED_PROJECT v2 1 0\n1 12\nName:Opened\n' > "$folder/wall.tvsx"
"$1" "$folder/wall.tvsx" > "$folder/out.txt" 2>&1 &
pid=$!
tries=0
while [ ! -s "$folder/data/Brisvane/settings_layout.network_payload" ] && [ $tries -lt 100 ]; do
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
grep -q "boxes_visible=1" "$folder/data/Brisvane/settings_layout.network_payload" || fail "no tool-window layout"
[ -f "$folder/data/mime/packages/Tarvossa_BrisvanePro-association.xml" ] || fail "no file association"
echo "the session passed"
