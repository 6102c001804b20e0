#pragma once
// Loading a FrameImage from picture bytes: animated GIF (every frame on a
// canvas, with disposal and delays) and PNG are decoded here; every other
// kind comes in as one frame through a still-picture loader, which on
// Windows is the picture service and natively the decoders of this folder.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "extunits/picture/frame_image.h"
#include "extunits/picture/kind.h"

namespace ext {

// Turns still picture bytes into opaque 32-bit top-down pixels; false when
// they are not a picture.
using StillLoader = bool (*)(const uint8_t* bytes, size_t length, int32_t& width, int32_t& height,
                             std::vector<uint32_t>& pixels);

// The still loader made of this folder's decoders (icons drawn on white).
bool LoadStillPortable(const uint8_t* bytes, size_t length, int32_t& width, int32_t& height,
                       std::vector<uint32_t>& pixels);

// Replaces the frames of `image`. GIF signature (and more than 5 bytes):
// every image of the stream; PNG signature (and more than 7 bytes): one
// frame through libpng; anything else: one frame from `still`. Frames get
// `transparentColor`, or with `takeColor` the colour of their top-left
// pixel. Input that is not a picture leaves the image empty.
void LoadFrameImageWith(FrameImage& image, const uint8_t* bytes, size_t length,
                        uint32_t transparentColor, bool takeColor, StillLoader still);

// The animated GIF load alone: a canvas of the logical screen size, at
// first white and fully transparent; each image drawn on it at its offset
// (pixels of its transparent colour, compared by colour, skipped) and the
// whole canvas appended as a frame. Disposal 2 and 3 both put back what lay
// under the image before it was drawn. A GIF delay of 0 shows for 50 ms.
// Frames stop once the next one would take the memory the frames hold (each
// pixel buffer as the heap holds it, and the frame records with their spare
// slots) past `maxFrameBytes`; the frames made until then are kept.
void LoadAnimatedGif(FrameImage& image, const uint8_t* bytes, size_t length,
                     uint32_t transparentColor, bool takeColor,
                     uint64_t maxFrameBytes = kMaxFrameBytes);

// The PNG load alone: one frame, composited onto the file's background
// colour when it has one.
void LoadPngFrame(FrameImage& image, const uint8_t* bytes, size_t length, uint32_t transparentColor,
                  bool takeColor);

}  // namespace ext
