// Binding the functions of late_import.h on their first call.

#include "runtime/win/late_import.h"

#include "runtime/fatal.h"
#include "runtime/messages.h"

namespace rt {

void* BindLateImport(const char* dll, const char* function) {
  // Never freed: the process ends with the DLL loaded, as with an import.
  HMODULE module = ::GetModuleHandleA(dll);
  if (module == nullptr) module = ::LoadLibraryA(dll);
  FARPROC address = module ? ::GetProcAddress(module, function) : nullptr;
  if (address == nullptr) FatalErrorFormat(msg::kDllExportMissing, dll, function);
  return reinterpret_cast<void*>(address);
}

}  // namespace rt
