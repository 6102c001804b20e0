#include "extunits/translabel/win/library.h"

#include "extunits/translabel/win/translabel.h"
#include "runtime/library.h"

namespace translabel {

namespace {

rt::LibraryDescriptor MakeLibrary() {
  static rt::UnitTypeRecord types[kTypeSlots] = {};
  types[kTransLabelTypeNumber - 1] = TransLabelType();
  return rt::ExtensionLibrary("3E9B1D4F72A84C65B0D2E7F1A6C3958B", "扩展界面支持库一", types,
                              kTypeSlots, nullptr, 0);
}

}  // namespace

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace translabel
