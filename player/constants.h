#pragma once
// The player's constant texts and its tray icon. The icon is a byte-set block
// ({1, length, ICO file}) generated from assets/player.ico at build time; it
// is the program's registered constant data.

#include <cstdint>

namespace player {

inline constexpr const char* kSection = "配置";
inline constexpr const char* kFolderKey = "路径";
inline constexpr const char* kVolumeKey = "路径2";
inline constexpr const char* kFolderDialogTitle = "寻找MP3文件";

inline constexpr const char* kSingleLoopCaption = "单曲循环模式:";
inline constexpr const char* kListLoopCaption = "列表循环模式:";
inline constexpr const char* kSequentialCaption = "顺序播放模式:";

inline constexpr const char* kHotKeyHelpCaption = "说明：";
inline constexpr const char* kHotKeyHelpText = "Alt+c=最小化\r\nAlt+x=下一首\r\nAlt+z=上一首";
inline constexpr const char* kAboutCaption = "作者";
inline constexpr const char* kAboutText =
    "Vessa播放器：本项目自己编写的MP3播放器与图形界面运行时\r\n"
    "一个窗口、一个播放列表、三种播放模式\r\n"
    "使用与构建方法见项目的 README.md";

// The tray icon's byte-set block and its size in bytes (header included).
const void* TrayIconBlock();
uint32_t TrayIconBlockSize();

}  // namespace player
