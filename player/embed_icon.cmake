# cmake -DINPUT=player.ico -DOUTPUT=TrayIcon.cpp -P embed_icon.cmake
# Writes the icon file as the program's constant byte-set block: the words 1
# and the length, then the file's bytes.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR length "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)"
       "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.
#include \"player/constants.h\"

namespace player {
namespace {
struct IconBlock {
  uint32_t one;
  uint32_t length;
  uint8_t bytes[${length}];
};
const IconBlock kTrayIcon = {1, ${length}, {
${bytes}}};
}  // namespace
const void* TrayIconBlock() { return &kTrayIcon; }
uint32_t TrayIconBlockSize() { return sizeof kTrayIcon; }
}  // namespace player
")
