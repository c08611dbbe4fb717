#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The arithmetic and text of the preview picture: how numbers and text are spelled in the
// SVG, where the map lies in the picture, the length of the scale bar and the terrain's
// shades. The picture's coordinates are the map's: x to the right, z upward, so a point
// (x, z) is drawn at SVG (x, -z), one unit to the metre in every layer.

/// Appends `value` with at most two decimals (to the centimetre), trailing zeros and a
/// trailing point left out and never in exponent form, the same in every locale: 12.5,
/// -3, 0.25, 1234567.89. A value that rounds to zero is "0", never "-0".
void append_number(std::string& out, double value);

/// Appends `text` with the five characters XML gives a meaning escaped: & < > " '.
void append_escaped(std::string& out, std::string_view text);

/// The rectangle of everything drawn, in map coordinates.
struct map_extent {
    bool empty = true;
    double min_x = 0;
    double min_z = 0;
    double max_x = 0;
    double max_z = 0;
};

void extend_extent(map_extent& extent, double x, double z);

/// Where the parts of the picture lie, in SVG user units (metres), y = -z. The map takes
/// its extent, grown to at least `min_map_side` each way about its middle; around it a
/// margin, to its right the legend's panel and below it the band of the scale bar.
/// `unit` is a thousandth of the map's longer side: strokes, dots and text are sized in
/// units, so the picture reads the same at any map size, and one unit is one pixel of the
/// picture's width and height.
struct preview_frame {
    double map_left;
    double map_right;
    double map_top;     // SVG y of the map's northern edge (-max z)
    double map_bottom;  // SVG y of its southern edge (-min z)
    double unit;
    double view_x;
    double view_y;
    double view_width;
    double view_height;
    double panel_left;  // the legend's panel, right of the map
    double band_top;    // the scale bar's band, below the map
};

inline constexpr double min_map_side = 100.0;
inline constexpr double frame_margin_units = 24.0;
inline constexpr double panel_width_units = 400.0;
inline constexpr double band_height_units = 84.0;

preview_frame frame_for(const map_extent& extent);

/// The scale bar's length in metres: the longest 1, 2 or 5 times a power of ten that is at
/// most `longest`, which must be above zero.
double scale_bar_length(double longest);

/// The fill of a terrain cell whose mean height lies at `fraction` of the way from the
/// lowest mean to the highest (clamped to 0..1): pale green through sand to brown, as
/// "#rrggbb".
std::string height_shade(double fraction);
