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

forms::UnitObject* UnitOf(uint32_t code, const rt::ArgRecord& ref) {
  return reinterpret_cast<forms::UnitObject*>(
      static_cast<uintptr_t>(rt::Service(code, ref.low, ref.high)));
}

// A box that is not loaded is reported by the lookup service; one of
// another type is misuse of the same kind, reported the same way.
CartoonBoxUnit& BoxOf(int32_t count, const rt::ArgRecord* args) {
  if (count < 1) rt::FatalError(rt::msg::kUnitNotLoaded);
  auto* box = dynamic_cast<CartoonBoxUnit*>(UnitOf(rt::svc::kFindUnitOrFail, args[0]));
  if (box == nullptr) rt::FatalError(rt::msg::kUnitNotLoaded);
  return *box;
}

// An omitted or unknown template gives the defaults.
const CartoonObjectUnit* TemplateOf(int32_t count, const rt::ArgRecord* args) {
  if (count < 2 || rt::IsOmitted(args[1])) return nullptr;
  return dynamic_cast<const CartoonObjectUnit*>(UnitOf(rt::svc::kFindUnit, args[1]));
}

int32_t IntArg(int32_t count, const rt::ArgRecord* args, int32_t index, int32_t otherwise) {
  if (count <= index || rt::IsOmitted(args[index])) return otherwise;
  return rt::ValueToInt(args[index]);
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
  CartoonBoxUnit& box = BoxOf(count, args);
  const CartoonObjectUnit* model = TemplateOf(count, args);
  const char* tag = count > 5 ? rt::TextOf(args[5]) : nullptr;
  const int32_t id = box.scene().Create(
      model ? model->Settings() : ObjectSettings{}, model != nullptr, IntArg(count, args, 2, 0),
      IntArg(count, args, 3, 0), IntArg(count, args, 4, 1) != 0, tag ? tag : "");
  *result = rt::MakeInt(id);
}

const rt::LibraryDescriptor& Library() {
  static const rt::LibraryDescriptor library = MakeLibrary();
  return library;
}

}  // namespace cartoon
