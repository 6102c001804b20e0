#include "extunits/translabel/win/library.h"

#include "extunits/translabel/win/translabel.h"

namespace translabel {

namespace {

rt::LibraryDescriptor MakeLibrary() {
  static rt::UnitTypeRecord types[kTypeSlots] = {};
  types[kTransLabelTypeNumber - 1] = TransLabelType();
  rt::LibraryDescriptor d{};
  d.formatMarker = rt::kLibraryFormatMarker;
  d.identity = "3E9B1D4F72A84C65B0D2E7F1A6C3958B";
  d.versionMajor = 1;
  d.displayName = "扩展界面支持库一";
  d.one = 1;
  d.typeCount = kTypeSlots;
  d.types = types;
  return d;
}

}  // namespace

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace translabel
