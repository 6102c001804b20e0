#pragma once
// The runtime's fatal error texts (code page 936 in the program).

namespace rt::msg {

inline constexpr char kTemplateLoadFailed[] = "载入窗口模板数据段出错!";
inline constexpr char kStartupFormFailed[] = "载入启动窗口失败";
inline constexpr char kUnitNotLoaded[] = "指定窗口或窗口组件不存在或尚未载入";
inline constexpr char kFormNotLoaded[] = "指定窗口尚未载入";
inline constexpr char kUnitFormNotLoaded[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr char kEventFormNotFound[] = "未找到引发事件的窗口";
inline constexpr char kEventUnitNotFound[] = "未找到引发事件的窗口组件";
inline constexpr char kEventUnitInvalid[] = "引发事件的窗口组件无效";
inline constexpr char kNotNumeric[] = "欲转换数据类型不是数值";
inline constexpr char kDllExportMissing[] = "无法找到指定DLL库文件“%s”中的输出命令“%s”";
inline constexpr char kDllExportMissingNoLibrary[] = "无法找到指定DLL库文件中的输出命令“%s”";
// %s: the size in decimal.
inline constexpr char kAllocationFailed[] = "分配 %s 字节内存失败!";

inline constexpr char kFatalCaption[] = "错误";
inline constexpr char kFatalHeading[] = "运行时出错!\r\n\r\n";
inline constexpr char kFatalCodeLabel[] = "错误代码：";
inline constexpr char kFatalTextLabel[] = "错误信息：";

}  // namespace rt::msg
