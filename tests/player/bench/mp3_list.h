#pragma once
// The bare listing loop both reference programs fill their list box with:
// the folder's MP3 names by FindFirstFile and LB_ADDSTRING.

#include <windows.h>

#include <string>

namespace bench {

inline void FillWithMp3Names(HWND list, const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*.mp3").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.cFileName));
    }
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

}  // namespace bench
