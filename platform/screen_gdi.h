// The screen side of drawing text into an image: a display device context, a memory context
// compatible with it, one font, and a bitmap compatible with the display that text is drawn
// into and whose dots are then read back. Everything is released when the canvas is destroyed.
//
// Colours are as the system reports a dot: red in bits 0-7, green in 8-15, blue in 16-23.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/text.h"

namespace kestrava {

inline constexpr uint32_t kWhite = 0x00FFFFFF;

class TextCanvas {
 public:
  virtual ~TextCanvas() = default;

  // The height of `text` in the font on the display, from an empty rectangle with
  // calculate-rectangle formatting only: lines end at "\r\n", nothing wraps and tabs are not
  // expanded.
  virtual int MeasureTextHeight(const WString& text) = 0;

  // A bitmap compatible with the display, `width` x `height` dots, selected into the memory
  // context; it replaces an earlier one. False when it cannot be made.
  virtual bool CreateBitmap(int width, int height) = 0;

  // The whole bitmap white.
  virtual void FillWhite() = 0;

  // Draws `text` in the font into the rectangle of the whole bitmap, wrapped at word
  // boundaries (the only format flag; tabs are not expanded), black on a transparent
  // background whose colour is white.
  virtual void DrawWrappedText(const WString& text) = 0;

  // The colour of one dot, one system call per dot.
  virtual uint32_t Pixel(int x, int y) = 0;

  // The colours of every dot in one read of the whole bitmap: rows from the top, dots from
  // the left, each the value Pixel gives for it. False, with `colours` untouched, when the
  // system cannot read the bitmap.
  virtual bool ReadPixels(std::vector<uint32_t>& colours) = 0;
};

class ScreenGdi {
 public:
  virtual ~ScreenGdi() = default;

  // The display context, a memory context compatible with it and the font `face` at
  // `pointTenths` tenths of a point, scaled for the display. A face that is not installed is
  // replaced by the system's font substitution. Nothing when the display context cannot be
  // made.
  virtual std::unique_ptr<TextCanvas> Open(const WString& face, int pointTenths) = 0;
};

}  // namespace kestrava
