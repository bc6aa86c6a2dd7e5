/// @file
/// Symbol export for the class interface.
#ifndef VUDADIVE2R_EXPORT_HPP
#define VUDADIVE2R_EXPORT_HPP

#if defined(__GNUC__)
#define ORV_API __attribute__((visibility("default")))
#else
#define ORV_API
#endif

#endif
