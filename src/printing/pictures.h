// Pictures (module PRINTPIC): bitmaps of the installation's BILDER folder loaded into the main
// window's picture holder and painted on the running print job.
#pragma once

#include <cstdint>
#include <string>

#include "core/context.h"

namespace kvor::printing {

// Picture by role: builds the file name, shows it in LblBfile and loads the file.
void LoadLogo(Context& ctx, int16_t& err);                                     // <company>LOGGA
void LoadFootPicture(Context& ctx, const std::string& company, int16_t& err);  // <company>FOTEN
void LoadPictureByName(Context& ctx, const std::string& name, int16_t& err);
// Loads a BMP file (a Windows path) into the picture holder; 1 when missing or unreadable (told).
void LoadPicture(Context& ctx, const std::string& path, int16_t& err);
// Paints the loaded picture scaled into the rectangle (twips); a width or height of 0 is the
// picture's own.
void PaintPicture(Context& ctx, double x, double y, double width, double height, int16_t& err);

// The pictures where the invoice page puts them.
void PaintLogo(Context& ctx, int16_t& err);            // 400, 200, 5000 x 1000
void PaintFootPicture(Context& ctx, int16_t& err);     // 450, the print position, 10700 x 650
void PaintMarkingPicture(Context& ctx, int16_t& err);  // 5900, the print position, 1000 x 1000

// The logo's top and height and the heights of the foot and marking pictures, in twips: the text
// of the page head and of the totals block is placed around them.
inline constexpr int32_t kLogoTop = 200;
inline constexpr int32_t kLogoHeight = 1000;
inline constexpr int32_t kFootPictureHeight = 650;
inline constexpr int32_t kMarkingPictureHeight = 1000;

}  // namespace kvor::printing
