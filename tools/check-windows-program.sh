#!/usr/bin/env bash
# Checks the built Windows program for what makes Windows refuse it or treat it as an installer:
#   - a word of installer detection (Windows asks to elevate a 32-bit program that requests no
#     execution level when its file name or version strings hold one) in the file name, the
#     version information or the manifest;
#   - an import of the functions listed below that Windows XP SP3 lacks;
#   - a DLL imported statically that Windows may take from the program's folder (no KnownDLL);
#   - a subsystem or OS version above 5.1.
#   tools/check-windows-program.sh [path/to/AlmanoriaYear2012.exe]
set -euo pipefail
cd "$(dirname "$0")/.."

exe="${1:-build/windows-i686/window/win32/AlmanoriaYear2012.exe}"
[ -f "$exe" ] || { echo "No program at $exe: build the windows-i686 preset first." >&2; exit 1; }

tools/install-deps.sh windows
objdump=i686-w64-mingw32-objdump

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Installer words, anywhere in a word and in any case ("Updater", "MyPatch", "SETUP").
installer_words='install|setup|update|upgrade|patch|uninst'
check_words() {
    local what="$1" text="$2"
    [ -n "$text" ] || { fail "$what: nothing read"; return; }
    local found
    found="$(grep -ioE "[[:alnum:]_.-]*($installer_words)[[:alnum:]_.-]*" <<<"$text" | sort -u || true)"
    [ -z "$found" ] || fail "$what holds an installer word: $(tr '\n' ' ' <<<"$found")"
}

check_words "the file name" "$(basename "$exe")"
# The version information's strings are UTF-16; the keys and values come out one a line.
version="$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr -c '[:print:]' '\n' | grep -v '^$' || true)"
grep -qx 'FileDescription' <<<"$version" || fail "the version information has no FileDescription"
check_words "the version information" "$version"
manifest="$(wrestool -x --raw --type=24 "$exe" || true)"
grep -q '<assemblyIdentity' <<<"$manifest" || fail "the program carries no manifest"
grep -q 'requestedExecutionLevel' <<<"$manifest" && fail "the manifest requests an execution level"
check_words "the manifest" "$manifest"

headers="$($objdump -p "$exe")"
for field in MajorSubsystemVersion MajorOSystemVersion; do
    major="$(awk -v f="$field" '$1 == f { print $2 }' <<<"$headers")"
    minor="$(awk -v f="${field/Major/Minor}" '$1 == f { print $2 }' <<<"$headers")"
    if [ -z "$major" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 1 ]; }; then
        fail "$field is $major.$minor; Windows XP needs 5.1 or less"
    fi
done

# Every DLL the program imports statically must be one that Windows never takes from the
# program's folder, which is where the browser saved it, beside whatever else was downloaded:
# a KnownDLL on every Windows from XP SP3 to 11, or comctl32, which the manifest's Common
# Controls 6 dependency brings side by side from WinSxS. Any other DLL is looked for beside the
# program first, so it is loaded at run time by its full path in the system folder instead
# (odbc32, and version for ProductName).
# The \KnownDlls sections hold the KnownDLLs of the registry and every DLL they import, and
# the loader takes a KnownDLL's dependents from there too.
declare -A safe_dlls=(
    [kernel32.dll]="KnownDLL on XP SP3 to 11"
    [user32.dll]="KnownDLL on XP SP3 to 11"
    [gdi32.dll]="KnownDLL on XP SP3 to 11"
    [advapi32.dll]="KnownDLL on XP SP3 to 11"
    [shell32.dll]="KnownDLL on XP SP3 to 11"
    [comdlg32.dll]="KnownDLL on XP SP3 to 11"
    [msvcrt.dll]="KnownDLL on 7 to 11; on XP in \\KnownDlls as a dependent of shell32 and comdlg32"
    [shlwapi.dll]="KnownDLL on 7 to 11; on XP in \\KnownDlls as a dependent of shell32 and comdlg32"
    [comctl32.dll]="side by side: Common Controls 6 from WinSxS, named in the manifest"
)
imports="$(awk '/DLL Name:/ { dll = tolower($3) } /^\t[0-9a-f]+\t +[0-9]+  [A-Za-z_]/ { print dll, $3 }' \
    <<<"$headers")"
[ -n "$imports" ] || fail "no imports read from $exe"
dlls="$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)"
while read -r dll; do
    [ -n "${safe_dlls[$dll]:-}" ] ||
        fail "imports $dll, which Windows may take from the program's folder: load it by its full path"
done <<<"$dlls"
if grep -qx comctl32.dll <<<"$dlls"; then
    grep -q "name=[\"']Microsoft.Windows.Common-Controls[\"']" <<<"$manifest" ||
        fail "imports comctl32.dll, but the manifest names no Common Controls 6 to take it side by side"
fi

# Functions that came with Vista or later: the locale-name (*Ex) family, the newer
# synchronisation and fiber-local storage, and the newer shell and dialog calls.
newer='GetLocaleInfoEx|GetUserDefaultLocaleName|GetSystemDefaultLocaleName|LCIDToLocaleName'
newer+='|LocaleNameToLCID|LCMapStringEx|CompareStringEx|FindNLSStringEx|GetDateFormatEx'
newer+='|GetTimeFormatEx|GetNumberFormatEx|GetCurrencyFormatEx|GetCalendarInfoEx'
newer+='|EnumSystemLocalesEx|EnumDateFormatsExEx|IsValidLocaleName|ResolveLocaleName'
newer+='|GetTickCount64|InitializeSRWLock|AcquireSRWLock[A-Za-z]*|ReleaseSRWLock[A-Za-z]*'
newer+='|TryAcquireSRWLock[A-Za-z]*|InitializeConditionVariable|SleepConditionVariable[A-Za-z]*'
newer+='|WakeConditionVariable|WakeAllConditionVariable|InitOnce[A-Za-z]*|Fls[A-Za-z]*'
newer+='|InitializeCriticalSectionEx|CreateEventEx[AW]|CreateMutexEx[AW]|CreateSemaphoreEx[AW]'
newer+='|GetFileInformationByHandleEx|SetFileInformationByHandle|GetFinalPathNameByHandle[AW]'
newer+='|QueryFullProcessImageName[AW]|GetSystemTimePreciseAsFileTime|CancelIoEx'
newer+='|TaskDialog|TaskDialogIndirect|SHGetKnownFolderPath|SHCreateItemFromParsingName'
newer+='|SetProcessDPIAware|SetProcessDpiAwareness[A-Za-z]*|GetDpiFor[A-Za-z]*'
newer+='|RegGetValue[AW]|CreateSymbolicLink[AW]'
while read -r dll function; do
    grep -qxE "$newer" <<<"$function" && fail "imports $function from $dll, which Windows XP SP3 lacks"
    # XP's msvcrt.dll predates the secure "_s" functions.
    [ "$dll" = msvcrt.dll ] && [[ "$function" == *_s ]] &&
        fail "imports $function from msvcrt.dll, which Windows XP SP3 lacks"
done <<<"$imports"

if [ "$failures" -gt 0 ]; then
    echo "$failures problem(s) in $exe" >&2
    exit 1
fi
echo "$exe: no installer word; $(wc -l <<<"$imports") imports, none of the listed ones XP SP3 lacks, from"
while read -r dll; do echo "  $dll: ${safe_dlls[$dll]}"; done <<<"$dlls"
