#!/usr/bin/env bash
# Checks that the folders say what a file may include: outside a win/ folder
# no file of the product's layers includes <windows.h> or another Windows
# header, or a header of a win/ folder. Prints each file that does; exit 1
# when there is one.
#   check-layout.sh [ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
windows_headers='windows|winuser|wingdi|winbase|commctrl|commdlg|mmsystem|shellapi|shlobj|shlwapi|psapi|objbase|ole2|richedit|uxtheme|imm|winnls'
status=0
while IFS= read -r file; do
  if found=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*(<($windows_headers)\.h>|\"[^\"]*/win/[^\"]*\")" "$file"); then
    while IFS= read -r line; do echo "check-layout: $file:$line"; done <<<"$found"
    status=1
  fi
done < <(find runtime forms units extunits commands player tools -type f \( -name '*.h' -o -name '*.cpp' \) \
  -not -path '*/win/*' | sort)
[ $status = 0 ] && echo "check-layout: no portable file includes a Windows header"
exit $status
