/// @file
/// The class interface of the library.
#ifndef VUDADIVE2R_HPP
#define VUDADIVE2R_HPP

#include "vudadive2r/Context2D.hpp"
#include "vudadive2r/DrawingState.hpp"
#include "vudadive2r/Exceptions.hpp"
#include "vudadive2r/Font.hpp"
#include "vudadive2r/GradientPaint.hpp"
#include "vudadive2r/Image.hpp"
#include "vudadive2r/ImagePaint.hpp"
#include "vudadive2r/NamedColor.hpp"
#include "vudadive2r/Paint.hpp"
#include "vudadive2r/Path.hpp"
#include "vudadive2r/RenderState.hpp"
#include "vudadive2r/Text.hpp"
#include "vudadive2r/Transforms.hpp"
#include "vudadive2r/Types.hpp"

#endif
