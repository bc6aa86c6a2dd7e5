/// @file
/// The 143 predefined colours.
#ifndef VUDADIVE2R_NAMEDCOLOR_HPP
#define VUDADIVE2R_NAMEDCOLOR_HPP

#include "Types.hpp"

namespace ORV {
namespace Vudadive2R {
namespace NamedColor {

extern ORV_API const Color AliceBlue;
extern ORV_API const Color AntiqueWhite;
extern ORV_API const Color Aqua;
extern ORV_API const Color Aquamarine;
extern ORV_API const Color Azure;
extern ORV_API const Color Beige;
extern ORV_API const Color Bisque;
extern ORV_API const Color Black;
extern ORV_API const Color BlanchedAlmond;
extern ORV_API const Color Blue;
extern ORV_API const Color BlueViolet;
extern ORV_API const Color Brown;
extern ORV_API const Color BurlyWood;
extern ORV_API const Color CadetBlue;
extern ORV_API const Color Chartreuse;
extern ORV_API const Color Chocolate;
extern ORV_API const Color Coral;
extern ORV_API const Color CornflowerBlue;
extern ORV_API const Color Cornsilk;
extern ORV_API const Color Crimson;
extern ORV_API const Color Cyan;
extern ORV_API const Color DarkBlue;
extern ORV_API const Color DarkCyan;
extern ORV_API const Color DarkGoldenrod;
extern ORV_API const Color DarkGray;
extern ORV_API const Color DarkGreen;
extern ORV_API const Color DarkKhaki;
extern ORV_API const Color DarkMagenta;
extern ORV_API const Color DarkOliveGreen;
extern ORV_API const Color DarkOrange;
extern ORV_API const Color DarkOrchid;
extern ORV_API const Color DarkRed;
extern ORV_API const Color DarkSalmon;
extern ORV_API const Color DarkSeaGreen;
extern ORV_API const Color DarkSlateBlue;
extern ORV_API const Color DarkSlateGray;
extern ORV_API const Color DarkTurquoise;
extern ORV_API const Color DarkViolet;
extern ORV_API const Color DeepPink;
extern ORV_API const Color DeepSkyBlue;
extern ORV_API const Color DimGray;
extern ORV_API const Color DodgerBlue;
extern ORV_API const Color Firebrick;
extern ORV_API const Color FloralWhite;
extern ORV_API const Color ForestGreen;
extern ORV_API const Color Fuchsia;
extern ORV_API const Color Gainsboro;
extern ORV_API const Color GhostWhite;
extern ORV_API const Color Gold;
extern ORV_API const Color Goldenrod;
extern ORV_API const Color Gray;
extern ORV_API const Color Green;
extern ORV_API const Color GreenYellow;
extern ORV_API const Color Honeydew;
extern ORV_API const Color HotPink;
extern ORV_API const Color IndianRed;
extern ORV_API const Color Indigo;
extern ORV_API const Color Ivory;
extern ORV_API const Color Khaki;
extern ORV_API const Color Lavender;
extern ORV_API const Color LavenderBlush;
extern ORV_API const Color LawnGreen;
extern ORV_API const Color LemonChiffon;
extern ORV_API const Color LightBlue;
extern ORV_API const Color LightCoral;
extern ORV_API const Color LightCyan;
extern ORV_API const Color LightGoldenrodYellow;
extern ORV_API const Color LightGray;
extern ORV_API const Color LightGreen;
extern ORV_API const Color LightPink;
extern ORV_API const Color LightSalmon;
extern ORV_API const Color LightSeaGreen;
extern ORV_API const Color LightSkyBlue;
extern ORV_API const Color LightSlateGray;
extern ORV_API const Color LightSteelBlue;
extern ORV_API const Color LightYellow;
extern ORV_API const Color Lime;
extern ORV_API const Color LimeGreen;
extern ORV_API const Color Linen;
extern ORV_API const Color Magenta;
extern ORV_API const Color Maroon;
extern ORV_API const Color MediumAquamarine;
extern ORV_API const Color MediumBlue;
extern ORV_API const Color MediumOrchid;
extern ORV_API const Color MediumPurple;
extern ORV_API const Color MediumSeaGreen;
extern ORV_API const Color MediumSlateBlue;
extern ORV_API const Color MediumSpringGreen;
extern ORV_API const Color MediumTurquoise;
extern ORV_API const Color MediumVioletRed;
extern ORV_API const Color MidnightBlue;
extern ORV_API const Color MintCream;
extern ORV_API const Color MistyRose;
extern ORV_API const Color Moccasin;
extern ORV_API const Color NavajoWhite;
extern ORV_API const Color Navy;
extern ORV_API const Color OldLace;
extern ORV_API const Color Olive;
extern ORV_API const Color OliveDrab;
extern ORV_API const Color Orange;
extern ORV_API const Color OrangeRed;
extern ORV_API const Color Orchid;
extern ORV_API const Color PaleGoldenrod;
extern ORV_API const Color PaleGreen;
extern ORV_API const Color PaleTurquoise;
extern ORV_API const Color PaleVioletRed;
extern ORV_API const Color PapayaWhip;
extern ORV_API const Color PeachPuff;
extern ORV_API const Color Peru;
extern ORV_API const Color Pink;
extern ORV_API const Color Plum;
extern ORV_API const Color PowderBlue;
extern ORV_API const Color Purple;
extern ORV_API const Color Red;
extern ORV_API const Color RosyBrown;
extern ORV_API const Color RoyalBlue;
extern ORV_API const Color SaddleBrown;
extern ORV_API const Color Salmon;
extern ORV_API const Color SandyBrown;
extern ORV_API const Color SeaGreen;
extern ORV_API const Color SeaShell;
extern ORV_API const Color Sienna;
extern ORV_API const Color Silver;
extern ORV_API const Color SkyBlue;
extern ORV_API const Color SlateBlue;
extern ORV_API const Color SlateGray;
extern ORV_API const Color Snow;
extern ORV_API const Color SpringGreen;
extern ORV_API const Color SteelBlue;
extern ORV_API const Color Tan;
extern ORV_API const Color Teal;
extern ORV_API const Color Thistle;
extern ORV_API const Color Tomato;
extern ORV_API const Color Transparent;
extern ORV_API const Color TransparentBlack;
extern ORV_API const Color TransparentWhite;
extern ORV_API const Color Turquoise;
extern ORV_API const Color Violet;
extern ORV_API const Color Wheat;
extern ORV_API const Color White;
extern ORV_API const Color WhiteSmoke;
extern ORV_API const Color Yellow;
extern ORV_API const Color YellowGreen;

}  // namespace NamedColor
}  // namespace Vudadive2R
}  // namespace ORV

#endif
