#!/usr/bin/env bash
# The Windows packages under Wine as a school's administrator uses them, silently and per
# machine: the MSI (msiexec /i ... /qn), the installed program driven through a session
# started from its Start-menu shortcut (windows-session.sh), the upgrade to the next patch
# version, made of the same tree for this check alone, the refusal of the older version over it, the removal
# (msiexec /x ... /qn) and nothing left under Program Files, the Start menu, HKLM\SOFTWARE or
# anywhere else on C:, and INSTALLDIR=; then the same for the NSIS installer's /S and /D= and
# its uninstaller's /S, its refusal of the older version, an upgrade in the folder /D= gave, and
# each kind of package refused over the other. With signed packages, osslsigncode verifies
# every signature.
#   scripts/check/windows-install-check.sh WORK BUILD
# Called by windows-check.sh once cpack has made the packages in BUILD, with its Wine prefix
# exported (WINEPREFIX); prints an "ok:" or "FAIL:" line for each check.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
build=$2
version=$(<"$build/pellavin-version")
# The next patch version, made of the same tree.
later=${version%.*}.$((${version##*.} + 1))
msi=$build/pellavin-$version-win64.msi
nsis=$build/pellavin-$version-win64.exe
# Wine would also make a Linux menu entry of every Start-menu shortcut, in this account's home.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"
wine=$(command -v wine)
. "$root/scripts/lib.sh"
failed=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }
step_start=$SECONDS
took() { echo "   ($((SECONDS - step_start)) s)"; step_start=$SECONDS; }

c=$WINEPREFIX/drive_c
programs=$c/Program\ Files
all_users_menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"

# Runs a Windows installer program silently and waits until everything it started has ended;
# leaves its exit status in $status.
silently() {
  status=0
  timeout 300 env -u DISPLAY "$wine" "$@" >/dev/null 2>&1 || status=$?
  wineserver -w
}

# Everything on C: and under HKLM\SOFTWARE, to compare before and after. Wine keeps HKLM in
# system.reg, written out once its server has ended, where a key without values shows only while
# it has no subkeys. No package's leftovers: the times Wine notes for keys, what it renews at each
# start, the system-information value and the printer drivers for the session's own CUPS
# printer, and Windows Installer's own folder and keys, which every Windows has but a new prefix
# gets at its first MSI.
snapshot() {
  wineserver -w
  (cd "$c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' -prune \
     -o -path ./windows/system32/spool/drivers -prune -o -print | sort) |
    grep -vx './windows/Installer'
  awk '/^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key)
              on = (key ~ /^\[Software\\\\/ && key !~ /Shared Tools\\\\MSINFO|NetworkCards/) }
       /^\[/ && key ~ /Installer\\\\(Features|Products|UpgradeCodes|UserData\\\\S-1-5-18\\\\(Components|Products))\]$/ { next }
       on && /^\[/ { print key; next }
       on && !/^#time=/ && !/^"Seed"=/ && NF { print key " " $0 }' "$WINEPREFIX/system.reg"
}

# The entries of Apps and Features named Pellavin, one line each: its key and what it shows.
apps_entries() {
  wineserver -w
  awk -v q='"' '
    /^\[/ { if (name == "Pellavin") print key ":" shown; key = $0; sub(/^\[.*\\\\/, "", key); sub(/\].*/, "", key)
            name = ""; shown = ""; keep = ($0 ~ /^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\/); next }
    keep && /^"DisplayName"="/ { name = $0; sub(/^"DisplayName"="/, "", name); sub(/"$/, "", name) }
    keep && /^"(DisplayVersion|Publisher|DisplayIcon|NoModify)"=/ { v = $0; gsub(q, "", v); shown = shown " " v }
    END { if (name == "Pellavin") print key ":" shown }' "$WINEPREFIX/system.reg"
}

# A shell link holds its target and its working folder as text.
link_strings() { (strings -a "$1"; strings -a -el "$1") | tr '\n' '|'; }
# The shortcut for all users: its target and its working folder are the program in FOLDER.
check_shortcut() {
  local link=$1 folder=$2 text
  if [[ ! -f $link ]]; then
    fail "no Start-menu shortcut for all users ($(find "$c" -path '*Start Menu*' -iname '*pellavin*' | sed "s|$c|C:|"))"
    return
  fi
  text=$(link_strings "$link")
  # (The MSI names folders with a closing backslash.)
  grep -qiF "$folder\\pellavin.exe" <<<"$text" && grep -qiE "\|${folder//\\/\\\\}\\\\?\|" <<<"$text" &&
    pass "the shortcut for all users (${link#"$c/"}) starts $folder\\pellavin.exe in $folder" ||
    fail "the shortcut ${link#"$c/"} holds: $text"
}
# The install folder holds the tree that was packed, byte for byte (and the NSIS uninstaller).
sums() { (cd "$1" && find . -type f ! -name Uninstall.exe -print0 | sort -z | xargs -0 sha256sum); }
check_folder() {
  local folder=$1 tree=$2 what=$3 differ
  differ=$(diff <(sums "$tree") <(sums "$folder") | grep '^[<>]' | head -5 | tr '\n' ' ' || true)
  [[ -z $differ ]] && pass "$what: the $(find "$folder" -type f | wc -l) files packed, in ${folder#"$c/"}" ||
    fail "$what: the install folder differs from the package: $differ"
}
# (SAID: what it says when nothing changed.)
check_nothing_left() {
  local before=$1 left
  left=$(diff "$before" <(snapshot) | grep '^[<>]' || true)
  if [[ -z $left ]]; then
    pass "$2: ${3:-nothing left} on C: or under HKLM\\SOFTWARE"
  else
    fail "$2: what changed on C: and under HKLM\\SOFTWARE:"
    sed 's/^/     /' <<<"$left" | head -20
  fi
  grep -qi 'pellavin\|varnholt' "$WINEPREFIX/user.reg" && fail "$2: the user's registry names Pellavin" || true
}
# The entries of Apps and Features: exactly one, for VERSION.
check_entry() {
  local entries
  entries=$(apps_entries)
  if [[ $(grep -c . <<<"$entries") -eq 1 ]] && grep -q "DisplayVersion=$1 " <<<"$entries"; then
    pass "$2: one entry in Apps and Features: $entries"
  else
    fail "$2: the entries in Apps and Features: ${entries:-none}"
  fi
}

# The folders of Pellavin at the top of C: and in Program Files: FOLDER alone.
check_only_folder() {
  local folders
  folders=$(find "$c" "$programs" -maxdepth 1 -iname '*pellavin*')
  [[ $folders == "$1" ]] || { fail "$2: the folders of Pellavin: $(tr '\n' ' ' <<<"$folders")"; return 1; }
  local folder=${1#"$c/"}
  pass "$2: the one folder of Pellavin at the top of C: and in Program Files is C:\\${folder//\//\\}"
}
# Runs an installer that must refuse, silently: its exit status STATUS (Wine gives its low
# byte), and nothing changed on C: or under HKLM\SOFTWARE.
check_refused() {
  local what=$1 expected=$2 unchanged=$work/unchanged.txt
  shift 2
  snapshot >"$unchanged"
  silently "$@"
  check "$what: refused, exit status $status" test "$status" -eq $((expected & 255))
  check_nothing_left "$unchanged" "$what" "nothing changed"
}
# The same refusal without /S, as a person meets it: the installer's box, read off a screen of
# its own, says TEXT (a pattern), and OK ends it with the same exit status.
boxes=0
check_refusal_box() {
  local text=$1 expected=$2 seen shot=$work/refused-$((++boxes)).png
  shift 2
  seen=$(
    screen_start 1024x768 && trap screen_stop EXIT
    "$wine" "$@" >/dev/null 2>&1 &
    waitfor 'Pellavin Setup' 1 300 && sleep 1 &&
      import -window "$(xdotool search --onlyvisible --name 'Pellavin Setup' | head -n 1)" "$shot" &&
      convert "$shot" -colorspace Gray -resize 300% png:- | tesseract - - 2>/dev/null | tr -s '\n' ' '
    xdotool key Return
    wait $! && echo "(exit status 0)" || echo "(exit status $?)"
  )
  wineserver -w
  grep -qiE "$text" <<<"$seen" && grep -qF "(exit status $((expected & 255)))" <<<"$seen" &&
    pass "without /S, its box ($shot) says: $seen" || fail "without /S: $seen"
}
# An MSI that must refuse, with a log. Wine's msiexec logs neither a quiet run's message nor
# more than the low byte of its exit status (1603, 67 here): the log shows the launch
# condition failing on what was found (PROPERTY's value), and the package holds its message.
check_msi_refused() {
  local msi=$1 what=$2 property=$3 condition=$4 log found message
  check_refused "$what" 1603 msiexec /i "$(winpath "$msi")" /qn /l*v "$(winpath "$work/refused.log")"
  log=$(tr -d '\0\r' <"$work/refused.log")
  found=$(grep -ao "$property = [^ ]*" <<<"$log" | head -n 1 || true)
  message=$(msiinfo export "$msi" LaunchCondition | grep -aF "$condition" | cut -f2 || true)
  [[ -n $found && -n $message ]] && grep -q 'LaunchConditions. Return value 0' <<<"$log" &&
    pass "$what: $found, with the message \"$message\"" ||
    fail "$what: ${found:-$property not found} (launch condition $condition)"
}

echo "-- $later of the same tree, for the upgrade"
later_dir=$work/later
rm -rf "$later_dir"
(cd "$build" && cpack -G "External;NSIS" -D CPACK_PACKAGE_VERSION=$later \
  -D CPACK_PACKAGE_FILE_NAME=pellavin-$later-win64 -B "$later_dir") >"$work/cpack-later.log" 2>&1 ||
  { cat "$work/cpack-later.log"; exit 1; }
later_msi=$later_dir/pellavin-$later-win64.msi
later_nsis=$later_dir/pellavin-$later-win64.exe
# The trees cpack packed, as each package's script left them (signed, and dated).
tree=$(find "$build/_CPack_Packages" -mindepth 3 -maxdepth 3 -path "*/External/pellavin-$version-win64")
took

# osslsigncode verifies FILE's signature against the certificate it was signed with.
check_signed() {
  local out verified signer when
  out=$(osslsigncode verify -CAfile "$PELLAVIN_SIGN_CERT" -in "$1" 2>&1) && verified=1 || verified=""
  signer=$(grep -m 1 'Subject:' <<<"$out" | sed 's/.*Subject: //')
  when=$(grep -m 1 'Signing time:' <<<"$out" | sed 's/.*Signing time: //')
  [[ -n $verified ]] && pass "osslsigncode verify ${1##*/}: $(grep -m 1 '^Signature verification' <<<"$out"), $signer, signed $when" ||
    { fail "osslsigncode verify ${1##*/}"; grep -iE 'error|fail' <<<"$out" | head -5; }
}
if [[ -n ${PELLAVIN_SIGN_CERT:-} ]]; then
  echo "-- signatures"
  # The program as the zip holds it; the installers install it byte for byte as packed
  # (checked below).
  rm -rf "$work/signed"
  unzip -q -j "$build/pellavin-$version-win64.zip" "*/pellavin.exe" -d "$work/signed"
  for file in "$work/signed/pellavin.exe" "$nsis" "$msi" "$later_nsis" "$later_msi"; do
    check_signed "$file"
  done
  took
fi

echo "-- the MSI: msiexec /i $(basename "$msi") /qn"
before=$work/before.txt
snapshot >"$before"
dir="$programs/Pellavin"
link="$all_users_menu/Pellavin.lnk"
silently msiexec /i "$(winpath "$msi")" /qn
check "msiexec /i exit status $status" test "$status" -eq 0
check_folder "$dir" "$tree" "installed"
check_shortcut "$link" 'C:\Program Files\Pellavin'
check_entry $version "installed"
# Apps and Features shows an MSI's icon from the copy Windows Installer keeps.
icon=$(grep -ao '"ProductIcon"="[^"]*pellavin.ico"' "$WINEPREFIX/system.reg" | head -n 1 |
       sed 's/^"ProductIcon"="//; s/"$//; s/\\\\/\\/g' || true)
[[ -n $icon && -f $c/$(sed 's/^C:.//; s/\\/\//g' <<<"$icon") ]] && pass "its icon in Apps and Features: $icon" ||
  fail "no icon in Apps and Features: ${icon:-none}"
[[ -z $(find "$c/users" -iname '*pellavin*') ]] && pass "nothing in any user's folder" ||
  fail "in a user's folder: $(find "$c/users" -iname '*pellavin*' | sed "s|$c|C:|" | tr '\n' ' ')"
took

echo "-- the MSI-installed program, through its shortcut"
"$root/scripts/check/windows-session.sh" "$work" "$link" screenshots || failed=$((failed + 1))
took

echo "-- the MSI: the upgrade to $later, msiexec /i $(basename "$later_msi") /qn"
silently msiexec /i "$(winpath "$later_msi")" /qn
check "msiexec /i exit status $status" test "$status" -eq 0
check_entry $later "upgraded"
[[ $(find "$programs" -maxdepth 1 -iname '*pellavin*' | wc -l) -eq 1 ]] && check_folder "$dir" "$tree" "upgraded in place" ||
  fail "more than one folder: $(find "$programs" -maxdepth 1 -iname '*pellavin*' | tr '\n' ' ')"
[[ $(find "$c" -path '*Start Menu*' -iname '*pellavin*' | wc -l) -eq 1 ]] && check_shortcut "$link" 'C:\Program Files\Pellavin' ||
  fail "Start-menu entries: $(find "$c" -path '*Start Menu*' -iname '*pellavin*' | tr '\n' ' ')"
check_msi_refused "$msi" "$version over $later" WIX_DOWNGRADE_DETECTED 'NOT WIX_DOWNGRADE_DETECTED'
check_entry $later "after the refusal"
took

echo "-- the MSI: msiexec /x $(basename "$later_msi") /qn"
silently msiexec /x "$(winpath "$later_msi")" /qn
check "msiexec /x exit status $status" test "$status" -eq 0
check_nothing_left "$before" "removed"
took

echo "-- the MSI elsewhere: msiexec /i ... INSTALLDIR=C:\\Pellavin /qn, the upgrade without it, then /x"
silently msiexec /i "$(winpath "$msi")" 'INSTALLDIR=C:\Pellavin' /qn
check "msiexec /i exit status $status" test "$status" -eq 0
check_folder "$c/Pellavin" "$tree" "installed"
check_shortcut "$link" 'C:\Pellavin'
silently msiexec /i "$(winpath "$later_msi")" /qn
check "msiexec /i exit status $status" test "$status" -eq 0
[[ ! -e $dir ]] && check_folder "$c/Pellavin" "$tree" "upgraded to $later in the folder given before" ||
  fail "the upgrade went to ${dir#"$c/"}"
silently msiexec /x "$(winpath "$later_msi")" /qn
check "msiexec /x exit status $status" test "$status" -eq 0
check_nothing_left "$before" "removed"
took

if [[ ! -f $nsis ]]; then
  echo "   no installer: makensis is missing"
  exit "$((failed > 0))"
fi
nsis_tree=$(find "$build/_CPack_Packages" -mindepth 3 -maxdepth 3 -path "*/NSIS/pellavin-$version-win64")
nsis_link="$all_users_menu/Pellavin/Pellavin.lnk"
echo "-- the NSIS installer: $(basename "$nsis") /S"
silently "$(winpath "$nsis")" /S
check "$(basename "$nsis") /S exit status $status" test "$status" -eq 0
check_folder "$dir" "$nsis_tree" "installed"
check_shortcut "$nsis_link" 'C:\Program Files\Pellavin'
check_entry $version "installed"
# The uninstaller is written by the installer, signed as makensis made it.
[[ -n ${PELLAVIN_SIGN_CERT:-} ]] && check_signed "$dir/Uninstall.exe"
took

# The upgrade to $later with no folder given: in FOLDER (WINDOWS_FOLDER), the earlier install's,
# and nowhere else.
nsis_upgrade() {
  silently "$(winpath "$later_nsis")" /S
  check "$(basename "$later_nsis") /S exit status $status" test "$status" -eq 0
  check_entry $later "upgraded"
  check_only_folder "$1" "upgraded" && check_folder "$1" "$nsis_tree" "upgraded in place"
  check_shortcut "$nsis_link" "$2"
}
echo "-- the NSIS installer: the upgrade to $later, $(basename "$later_nsis") /S"
nsis_upgrade "$dir" 'C:\Program Files\Pellavin'
took

echo "-- the NSIS installer: $(basename "$nsis") /S over $later"
check_refused "$version over $later" 1638 "$(winpath "$nsis")" /S
check_refusal_box "Pellavin $later is installed, which is newer than this installer.{1,3}s $version" 1638 "$(winpath "$nsis")"
check_entry $later "after the refusal"
check_folder "$dir" "$nsis_tree" "after the refusal"
took

echo "-- the NSIS-installed program after the refusal, through its shortcut"
"$root/scripts/check/windows-session.sh" "$work" "$nsis_link" screenshots-nsis || failed=$((failed + 1))
took

echo "-- the MSI over the NSIS installer's install: msiexec /i $(basename "$later_msi") /qn"
check_msi_refused "$later_msi" "the MSI over the installer's $later" SETUP_INSTALLED 'NOT SETUP_INSTALLED'
check_entry $later "after the refusal"
took

echo "-- the NSIS installer: Uninstall.exe /S"
silently "$(winpath "$dir/Uninstall.exe")" /S
check "Uninstall.exe /S exit status $status" test "$status" -eq 0
check_nothing_left "$before" "removed"
took

echo "-- the NSIS installer elsewhere: /S /D=C:\\Pellavin, the upgrade without it, then Uninstall.exe /S"
silently "$(winpath "$nsis")" /S '/D=C:\Pellavin'
check "$(basename "$nsis") /S /D= exit status $status" test "$status" -eq 0
check_folder "$c/Pellavin" "$nsis_tree" "installed"
check_shortcut "$nsis_link" 'C:\Pellavin'
nsis_upgrade "$c/Pellavin" 'C:\Pellavin'
silently 'C:\Pellavin\Uninstall.exe' /S
check "Uninstall.exe /S exit status $status" test "$status" -eq 0
check_nothing_left "$before" "removed"
took

echo "-- the NSIS installer over the MSI's install: $(basename "$later_nsis") /S"
silently msiexec /i "$(winpath "$msi")" /qn
check "msiexec /i exit status $status" test "$status" -eq 0
check_refused "the installer's $later over the MSI's $version" 1638 "$(winpath "$later_nsis")" /S
check_refusal_box "Pellavin $version is installed from its MSI package" 1638 "$(winpath "$later_nsis")"
check_entry $version "after the refusal"
silently msiexec /x "$(winpath "$msi")" /qn
check "msiexec /x exit status $status" test "$status" -eq 0
check_nothing_left "$before" "removed"
took
exit "$((failed > 0))"
