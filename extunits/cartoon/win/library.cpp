#include "extunits/cartoon/win/library.h"

#include <string>

#include "extunits/cartoon/win/cartoon_box.h"
#include "extunits/cartoon/win/cartoon_object.h"
#include "runtime/fatal.h"
#include "runtime/library.h"
#include "runtime/messages.h"
#include "runtime/service.h"
#include "runtime/value.h"

namespace cartoon {

namespace {

// An omitted or unknown template gives the defaults.
const CartoonObjectUnit* TemplateOf(const rt::Args& a) {
  if (!a.Given(1)) return nullptr;
  return dynamic_cast<const CartoonObjectUnit*>(forms::FindUnit(a.Unit(1)));
}

rt::LibraryDescriptor MakeLibrary() {
  static rt::UnitTypeRecord types[kTypeSlots] = {};
  types[kCartoonBoxTypeNumber - 1] = CartoonBoxType();
  types[kCartoonObjectTypeNumber - 1] = CartoonObjectType();
  static const rt::CommandFn commands[kCommandCount] = {CreateObject};
  return rt::ExtensionLibrary("3D8B51A0C6E24F7B9A1E5C2D7F0B4E96", "扩展界面支持库二", types,
                              kTypeSlots, commands, kCommandCount);
}

}  // namespace

void CreateObject(rt::ArgRecord* result, int32_t count, rt::ArgRecord* args) {
  const rt::Args a(count, args);
  // A box that is not loaded, or a unit of another type, is fatal.
  CartoonBoxUnit& box = forms::UnitArgOrFail<CartoonBoxUnit>(a);
  const CartoonObjectUnit* model = TemplateOf(a);
  const char* tag = a.Text(5);
  const int32_t id =
      box.scene().Create(model ? model->Settings() : ObjectSettings{}, model != nullptr,
                         a.Int(2, 0), a.Int(3, 0), a.Int(4, 1) != 0, tag ? tag : "");
  *result = rt::MakeInt(id);
}

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace cartoon
