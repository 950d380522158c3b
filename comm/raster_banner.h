// Text printed as an image: drawn with a Windows font into an off-screen bitmap 576 dots wide,
// turned into a one-bit raster image (GS v 0), followed by a cut, and written to a USB
// printer's device path in one piece, so that the printer gets the image and the cut as one
// job.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/device_io.h"
#include "platform/screen_gdi.h"

namespace kestrava {

inline constexpr int kRasterWidth = 576;
inline constexpr const char16_t* kRasterFontFace = u"Arial Unicode MS";
inline constexpr int kRasterFontTenths = 200;  // 20 points

// A dot is black when the whole-number part of 0.30 x (bits 16-23) + 0.59 x (bits 8-15) +
// 0.11 x (bits 0-7) of its colour is at most 128.
bool IsBlackDot(uint32_t colour);

// The block for an image of `width` x `height` dots (`colours` row by row from the top): GS v 0
// mode 0, bytes per row and rows (low byte first), the rows with the leftmost dot in the most
// significant bit and 1 for black, the dots past the width of the last byte 0; then a zero
// byte and GS V 0 (full cut).
std::string RasterBlock(const std::vector<uint32_t>& colours, int width, int height);

// Every dot of the canvas's bitmap read on its own, one system call per dot: what the bulk
// read is held equal to, and its stand-in when the bulk read fails.
std::vector<uint32_t> ReadDotsOneByOne(TextCanvas& canvas, int width, int height);

// Draws the text (lines separated by "\r\n") on a canvas 576 dots wide and twice as high as
// the text measures, so that the lower half is blank paper (text wider than 576 dots wraps at
// word boundaries and may reach into it), and writes the block to the device path with one
// open and one write. Nothing is reported: a device that cannot be opened gets nothing.
void RasterizeAndSend(const WString& text, const WString& devicePath, ScreenGdi& screen,
                      DeviceIo& deviceIo);

}  // namespace kestrava
