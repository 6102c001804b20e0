#!/usr/bin/env bash
# Checks that a 32-bit executable can start on Windows XP: PE machine i386,
# OS and subsystem version 5.01, imports only from system DLLs that XP has,
# and none of the functions that came with later Windows versions. The DLLs
# named after it must not be imported at all (the program binds them late).
set -euo pipefail
exe=${1:?usage: check-pe.sh EXE [DLL-NOT-IMPORTED...]}
shift
dump=$(i686-w64-mingw32-objdump -p "$exe")
fail=0
problem() { echo "check-pe: $exe: $*"; fail=1; }

grep -q 'file format pei-i386' <<<"$dump" || problem "not an i386 PE image"
for field in MajorOSystemVersion MajorSubsystemVersion; do
  [ "$(awk -v f=$field '$1==f{print $2}' <<<"$dump")" = 5 ] || problem "$field is not 5"
done
for field in MinorOSystemVersion MinorSubsystemVersion; do
  [ "$(awk -v f=$field '$1==f{print $2}' <<<"$dump")" = 1 ] || problem "$field is not 1"
done

allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|ole32|oleaut32|shell32|comctl32|comdlg32|winmm|msimg32|rpcrt4|shlwapi|ws2_32|wsock32|version|imm32|uxtheme|winspool\.drv)(\.dll)?$'
while read -r dll; do
  lower=$(tr 'A-Z' 'a-z' <<<"$dll")
  [[ $lower =~ $allowed ]] || problem "imports from $dll, which Windows XP does not have"
  for late in "$@"; do
    [ "$lower" = "$(tr 'A-Z' 'a-z' <<<"$late")" ] && problem "imports $dll, which it should bind on first use"
  done
done < <(awk '/DLL Name:/{print $3}' <<<"$dump")

# Functions that Windows XP's system DLLs do not export.
later='GetTickCount64|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|Wake(All)?ConditionVariable|InitializeSRWLock|(Try)?Acquire(SRWLock)(Exclusive|Shared)|ReleaseSRWLock(Exclusive|Shared)|InitOnce[A-Za-z]*|Fls(Alloc|Free|GetValue|SetValue)|GetFinalPathNameByHandle[AW]|CreateSymbolicLink[AW]|CancelIoEx|GetQueuedCompletionStatusEx|QueryFullProcessImageName[AW]|GetThreadId|GetErrorMode|SetThreadStackGuarantee|GetLocaleInfoEx|CompareStringEx|GetSystemTimePreciseAsFileTime|GetFileInformationByHandleEx|SetFileInformationByHandle|RegGetValue[AW]|SetProcessDPIAware|ChangeWindowMessageFilter(Ex)?'
if names=$(awk '/DLL Name:/{on=1} on && NF>=3 && $1 ~ /^[0-9a-f]+$/ {print $3}' <<<"$dump" | grep -Ex "$later"); then
  problem "imports functions Windows XP lacks: $(tr '\n' ' ' <<<"$names")"
fi

[ $fail = 0 ] && echo "check-pe: $exe: i386, version 5.01, XP imports only"
exit $fail
