# The setup program and the portable zip under Wine, in a fresh 64-bit prefix of their own.
# Sourced by scripts/test.d/40-windows.sh in a subshell, after its Xvfb started: uses its $work,
# step, fail, wait_window and press_until_gone.
version=3.3
setup=$repo/build-win/flurrix-setup-$version.exe
portable=$repo/build-win/flurrix-$version-portable.zip
[[ -f $setup ]] || fail "$setup was not built (makensis comes with nsis)"
[[ -f $portable ]] || fail "$portable was not built"
listing=$(unzip -Z1 "$portable")
for entry in flurrix.scr flurrix.dll data/font/DejaVuSans.ttf data/font/LICENSE LICENSE.txt; do
  grep -qx "$entry" <<<"$listing" || fail "the portable zip lacks $entry"
done
step "the portable zip holds the program, the engine, data/ and the licence"

export WINEPREFIX=$work/setup-prefix
export WINEARCH=win64
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
timeout 300 wine wineboot --init >/dev/null 2>&1 || fail "the setup's Wine prefix could not be made"
timeout 120 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1 || fail "the Wine registry could not be changed"
timeout 120 wineserver -w || true
# (Debian's Wine here has no 32-bit part, so the refusal on 32-bit Windows is not run.)

# The first page, to look at; Escape cancels the setup there.
title="Flurrix Screensaver $version Setup"
wine "$setup" >>"$work/wine.log" 2>&1 &
wizard=$!
id=$(wait_window "$title") || fail "the setup program's window did not open"
sleep 2
mkdir -p build/screenshots
import -window "$id" build/screenshots/installer-windows.png 2>/dev/null || true
press_until_gone "$wizard" "$title" Escape || {
  kill "$wizard" 2>/dev/null || true
  fail "the setup program did not close on Escape"
}
step "the setup program opened (build/screenshots/installer-windows.png)"

# wine_reg KEY [VALUE]: the registry key, or one value of it; fails when it is not there.
wine_reg() {
  timeout 120 wine reg query "$1" ${2:+/v "$2"} 2>/dev/null | tr -d '\r'
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Flurrix Screensaver'
desktop_key='HKCU\Control Panel\Desktop'
folder="$WINEPREFIX/drive_c/Program Files/Corvantic/Flurrix Screensaver"
windows_scr="$WINEPREFIX/drive_c/windows/flurrix.scr"

# silent_setup ARGS...: runs the setup and waits for it.
silent_setup() {
  timeout 300 wine "$setup" "$@" >>"$work/wine.log" 2>&1 || fail "the setup $* exited with $?"
  timeout 120 wineserver -w || true
}
# A silent setup leaves the user's screensaver alone; the second one, over it, is asked to set it.
silent_setup /S
wine_reg "$desktop_key" SCRNSAVE.EXE >/dev/null && fail "/S without /SCREENSAVER set the screensaver"
silent_setup /S /SCREENSAVER
for file in flurrix.scr flurrix.dll uninstall.exe data/font/DejaVuSans.ttf data/music/forest.mp3; do
  [[ -f $folder/$file ]] || fail "the setup did not install $file into the program-files folder"
done
[[ -f $windows_scr ]] || fail "the setup did not put flurrix.scr into the Windows folder"
entry=$(wine_reg "$uninstall_key") || fail "no uninstall entry in the registry"
for expected in 'DisplayName +REG_SZ +Flurrix Screensaver$' 'Publisher +REG_SZ +Corvantic$' \
  'DisplayVersion +REG_SZ +3\.3$' 'DisplayIcon +REG_SZ +.*\\flurrix\.scr,0$' \
  'UninstallString +REG_SZ +"C:\\Program Files\\Corvantic\\Flurrix Screensaver\\uninstall\.exe"$' \
  'EstimatedSize +REG_DWORD +0x[0-9a-f]*[1-9a-f]'; do
  grep -Eq "^ +$expected" <<<"$entry" || fail "the uninstall entry lacks $expected: $entry"
done
saver=$(wine_reg "$desktop_key" SCRNSAVE.EXE) || fail "/SCREENSAVER did not set the screensaver"
grep -Eiq 'SCRNSAVE\.EXE +REG_SZ +C:\\windows\\flurrix\.scr$' <<<"$saver" ||
  fail "the screensaver setting names another program: $saver"
step "silent setup: files in Program Files and the Windows folder, uninstall entry, screensaver set"

# The copy in the Windows folder finds its engine through the program-files search, whatever the
# current folder; it runs until it is killed.
(cd "$work" && exec wine 'C:\windows\flurrix.scr' /s >>"$work/wine.log" 2>&1) &
saver_run=$!
wait_window "Flurrix Screensaver $version" >/dev/null || fail "the installed screensaver opened no screen"
sleep 3
kill -0 "$saver_run" 2>/dev/null || fail "the installed screensaver ended by itself"
kill "$saver_run" 2>/dev/null || true
timeout 60 wineserver -k >/dev/null 2>&1 || true
wait "$saver_run" 2>/dev/null || true
step "the installed screensaver ran from the Windows folder with another current folder"

# The user's settings, which the uninstaller keeps.
timeout 120 wine 'C:\windows\flurrix.scr' /i >>"$work/wine.log" 2>&1 || fail "/i exited with $?"
settings=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Corvantic/Flurrix Screensaver/config.ini')
[[ -n $settings ]] || fail "/i of the installed program wrote no config.ini"

timeout 300 wine 'C:\Program Files\Corvantic\Flurrix Screensaver\uninstall.exe' /S \
  >>"$work/wine.log" 2>&1 || fail "the silent uninstaller exited with $?"
timeout 120 wineserver -w || true
[[ ! -e $folder && ! -e ${folder%/*} ]] || fail "the uninstaller left: $(find "${folder%/*}")"
[[ ! -e $windows_scr ]] || fail "the uninstaller left flurrix.scr in the Windows folder"
wine_reg "$uninstall_key" >/dev/null && fail "the uninstaller left its registry entry"
wine_reg "$desktop_key" SCRNSAVE.EXE >/dev/null && fail "the screensaver setting still names flurrix.scr"
[[ -f $settings ]] || fail "the uninstaller removed the user's settings"
step "silent uninstall: files, entry and screensaver setting gone, the user's settings kept"
