#!/usr/bin/env bash
# Under Wine, from a pupil's account, a class folder the pupil may not list
# (as the guide recommends) refuses the pupil's first log: Wine looks for the
# name through the folder's listing. --verifier says so with status 1, the
# exercise in its start-up box (read back through the clipboard: Ctrl+C
# copies a Windows message box's text); with the log made beforehand, the
# trial passes. Usage: listing.sh FOLDER (of morvel2.exe and morvel2.com);
# the DLLs from MORVEL2_WINE_DLL_DIRS.
source "$(dirname "$0")/../desktop/common.sh"
programs=${1:-}
[[ -f $programs/morvel2.com && -f $programs/morvel2.exe ]] || skip "no morvel2.com and morvel2.exe in '$programs'"
need wine wineserver xdotool xclip setpriv
[[ $(id -u) -eq 0 ]] || skip "a pupil's account besides the owner of the class folder needs root"
[[ -n ${MORVEL2_WINE_DLL_DIRS:-} ]] || fail "MORVEL2_WINE_DLL_DIRS is not set: where are the DLLs?"

windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

# The pupil: nobody, with a home and a Wine prefix of its own.
chmod 711 "$scratch"
home=$scratch/eleve
install -d -m 700 -o 65534 -g 65534 "$home"
cp "$programs/morvel2.exe" "$programs/morvel2.com" "$home/"
chown 65534:65534 "$home/morvel2.exe" "$home/morvel2.com"
dll_path=
IFS=: read -r -a dll_dirs <<< "$MORVEL2_WINE_DLL_DIRS"
for folder in "${dll_dirs[@]}"; do dll_path+="${dll_path:+;}$(windows_path "$folder")"; done
pupil=(setpriv --reuid=65534 --regid=65534 --clear-groups
    env HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH="$dll_path")
stop_wine() { "${pupil[@]}" wineserver -k 2> /dev/null; }
on_exit+=(stop_wine)
"${pupil[@]}" wineboot --init > "$scratch/wineboot.log" 2>&1 || fail "wineboot: $(cat "$scratch/wineboot.log")"
login=$("${pupil[@]}" wine cmd /c 'echo %USERNAME%' 2> /dev/null | tr -d '\r')
[[ -n $login ]] || fail "Wine gives no user name"

# The class folder: root's (the teacher's), 3733.
classe=$scratch/classe
install -d -m 3733 -o root -g root "$classe"
"${pupil[@]}" wine reg add 'HKCU\Software\morvel2\morvel2\results' /v log /d "$(windows_path "$classe")\\%u.txt" /f \
    > /dev/null 2>&1 || fail "reg add failed"

echo "step: --verifier from the pupil's account"
status=0
"${pupil[@]}" wine "$home/morvel2.com" --verifier > "$scratch/verify.txt" 2>&1 || status=$?
[[ $status -eq 1 ]] || fail "status $status, not 1: $(tr -d '\r' < "$scratch/verify.txt")"
grep -qF "Sous Wine, un dossier que ce compte ne peut pas lister refuse la création de son fichier" "$scratch/verify.txt" \
    || fail "--verifier does not say it is Wine's doing"
[[ -z $(ls -A "$classe") ]] || fail "--verifier left: $(ls -A "$classe")"

echo "step: the start-up box, read through the clipboard"
start_display
# The Wine session of the commands above had no display: a program joining
# it would show nothing. A new one starts with this display.
"${pupil[@]}" wineserver -w
"${pupil[@]}" DISPLAY="$DISPLAY" wine "$home/morvel2.exe" > /dev/null 2> "$scratch/stderr-exercise" &
box=$(wait_for_window morvel2) || fail "the exercise said: $(tail -5 "$scratch/stderr-exercise")"
xdotool windowactivate --sync "$box" 2> /dev/null || xdotool windowfocus --sync "$box"
# Wine takes the focus from X a moment after X gives it.
tries=0
until [[ $(xclip -o -selection clipboard 2> /dev/null) == *préviens* ]]; do
    ((tries++ < 20)) || fail "no text came through the clipboard: '$(xclip -o -selection clipboard 2> /dev/null)'"
    sleep 0.5
    xdotool key ctrl+c
done
said=$(xclip -o -selection clipboard | tr -d '\r')
for text in "préviens ton maître ou ta maîtresse" "Pour l'adulte qui vient aider :" \
    "$(windows_path "$classe")\\$login.txt ne peut pas être créé : permission refusée" \
    "Sous Wine, un dossier que ce compte ne peut pas lister refuse la création de son fichier"; do
    grep -qF -- "$text" <<< "$said" || fail "the start-up box does not say '$text'"
done
"${pupil[@]}" wineserver -k 2> /dev/null || true
[[ -z $(ls -A "$classe") ]] || fail "the start-up left: $(ls -A "$classe")"

echo "step: the pupil's empty log made beforehand on the server, as the guide says"
install -m 640 -o 65534 -g 65534 /dev/null "$classe/$login.txt"
status=0
"${pupil[@]}" wine "$home/morvel2.com" --verifier > "$scratch/verify-made.txt" 2>&1 || status=$?
grep -qF "Essai : le fichier existe ; il a pu être ouvert pour y ajouter et verrouillé." "$scratch/verify-made.txt" \
    || fail "$(tr -d '\r' < "$scratch/verify-made.txt")"
grep -q "Sous Wine" "$scratch/verify-made.txt" && fail "$(tr -d '\r' < "$scratch/verify-made.txt")"
echo "ok: said by --verifier (status 1) and at start-up; the log made beforehand passes the trial (status $status)"
