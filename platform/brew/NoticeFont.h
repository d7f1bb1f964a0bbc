// A small built-in font for the applet's own notice (the host offers no text
// drawing).
#pragma once

#include <cstdint>

constexpr int32_t kNoticeScale = 2;
constexpr int32_t kNoticeAdvance = 6 * kNoticeScale;

int32_t noticeTextWidth(const char16_t* text);
// Draws a line of text centred between x and the right edge, top at y, into
// an RGB565 block of width x height pixels with stride pixels per row.
void drawNoticeText(uint16_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t x, int32_t y,
                    const char16_t* text, uint16_t colour);
