#pragma once

#include <cstdint>

// The map's colours as 0xRRGGBB, for a light and for a dark palette: the one source of both the
// window's map (MapColours.cpp) and the page's, whose build writes them as CSS custom properties
// (scripts/make_map_colours.sh: kMapShortStroke becomes --map-short-stroke). Keep each on a line
// of its own in this form, which that script reads.
namespace gapwell {

struct MapRgb {
    std::uint32_t light;
    std::uint32_t dark;
};

inline constexpr MapRgb kMapUsable{0x0072B2, 0x56B4E9};
inline constexpr MapRgb kMapReferenced{0xD55E00, 0xF07A3C};
inline constexpr MapRgb kMapReferencedDot{0xFFE8D6, 0x3D1600};
inline constexpr MapRgb kMapShort{0xE69F00, 0xC48800};
inline constexpr MapRgb kMapShortStroke{0x7A5200, 0x4A3300};
inline constexpr MapRgb kMapKnown{0xCC79A7, 0xD98FB8};
inline constexpr MapRgb kMapKnownStroke{0xFAE6F1, 0x3A122A};
inline constexpr MapRgb kMapData{0xD6D6D6, 0x484848};

}  // namespace gapwell
