#include "extunits/media/win/media_unit.h"

#include <objbase.h>
#include <rpc.h>

#include "forms/win/unit_type.h"
#include "runtime/win/handles.h"
#include "runtime/win/late_import.h"
#include "units/common_properties.h"

namespace media {

namespace {

constexpr COLORREF kBackground = RGB(212, 208, 200);
constexpr int kPictureResource = 1012;
const char kMediaClass[] = "MediaPlayUnitWindow";

// Registers the window class on first use; null when that fails.
const char* MediaClass() {
  WNDCLASSA wc = {};
  if (::GetClassInfoA(::GetModuleHandleA(nullptr), kMediaClass, &wc)) return kMediaClass;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &forms::UnitObject::StartingWindowProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kMediaClass;
  return ::RegisterClassA(&wc) ? kMediaClass : nullptr;
}

// The window has child id 0, whatever control id the form hands out.
forms::UnitObject* CreateMediaPlay(const forms::CreateRequest& r) {
  const char* windowClass = MediaClass();
  if (windowClass == nullptr) return nullptr;
  auto* unit = new MediaPlayObject(r.formId, r.unitId);
  HWND hwnd = unit->AttachingCreate(0, windowClass, nullptr,
                                    r.style | WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER, r.left, r.top,
                                    r.width, r.height, r.parent, nullptr);
  if (hwnd == nullptr) {
    delete unit;
    return nullptr;
  }
  return unit;
}

constexpr forms::UnitTypeDescription kMediaPlayDescription = {
    "媒体播放",
    "MediaPlay",
    rt::typeflag::kNoWindowShown | rt::typeflag::kWindowUnit,
    units::kCommonProperties,
    units::kCommonPropertyCount,
    &CreateMediaPlay};

}  // namespace

const rt::UnitTypeRecord& MediaPlayType() { return forms::TypeRecordOf<kMediaPlayDescription>(); }

std::string NewAlias() {
  GUID guid;
  if (rt::ole32::CoCreateGuid(&guid) != S_OK) return {};
  RPC_CSTR text = nullptr;
  if (rt::rpcrt4::UuidToStringA(&guid, &text) != RPC_S_OK || text == nullptr) return {};
  std::string alias = AliasFromGuidText(reinterpret_cast<const char*>(text));
  rt::rpcrt4::RpcStringFreeA(&text);
  return alias;
}

void PaintMediaWindow(HDC dc, const RECT& client, HBITMAP picture) {
  rt::GdiBrush brush(::CreateSolidBrush(kBackground));
  ::FillRect(dc, &client, brush.get());
  BITMAP info;
  if (picture == nullptr || ::GetObjectA(picture, sizeof info, &info) == 0) return;
  rt::MemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  rt::SelectGuard selected(source.get(), picture);
  const int x = (client.right - client.left - info.bmWidth) / 2;
  const int y = (client.bottom - client.top - info.bmHeight) / 2;
  ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

LRESULT MediaPlayObject::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return UnitObject::WindowProc(message, wParam, lParam);
  rt::PaintDc paint(hwnd());
  RECT client;
  ::GetClientRect(hwnd(), &client);
  rt::GdiBitmap picture(
      ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kPictureResource)));
  PaintMediaWindow(paint.get(), client, picture.get());
  return 0;
}

}  // namespace media
