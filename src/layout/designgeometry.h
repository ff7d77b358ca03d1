#pragma once

#include <QRect>
#include <QSize>

// The page as it was designed, in twips (1/1440 inch, 15 to a pixel at 96
// dpi) from the top-left corner of the window's client area: one source for
// the window's controls and for every page laid out from them.
namespace DesignGeometry {

inline constexpr QRect banner{2640, 120, 7095, 495};      // Label3(1)
inline constexpr QRect passage{240, 840, 11415, 3375};    // Label1
inline constexpr QRect instruction{240, 4320, 6255, 855}; // Label3(0)
inline constexpr QRect prompt{600, 5280, 3615, 375};      // Label2(0)
inline constexpr QRect answerBox{4200, 5280, 495, 375};   // Text1(0)
inline constexpr QRect verifyButton{8640, 4800, 1455, 495}; // Command1
inline constexpr QRect checkBox{7800, 5400, 3975, 375};   // Check1(0)
inline constexpr QRect picture{10200, 3840, 1695, 1455};  // Picture1
// Each question row stands this far below the bottom of the one above.
inline constexpr int rowGap = 100;
// The page, its margins as on the left and at the top: as far right as the
// picture reaches, as far down as four rows reach.
inline constexpr QSize page{11895, 7200};

// Text sizes in pixels at 96 dpi: 9.75 pt and 12 pt.
inline constexpr int textPixels = 13;
inline constexpr int instructionPixels = 16;

} // namespace DesignGeometry
