#pragma once

// The terrain type table: for each terrain type number, the colour of its surface and how
// the vertex list of one of its polygons is cut into triangles.

/// One entry: `colour` is red, green, blue; `is_strip` 1 makes a polygon's vertex list a
/// triangle strip, 0 a triangle fan.
struct terrain_type {
    unsigned char colour[3];
    unsigned char is_strip;
};

/// Type numbers 0 to 61. Types 1 to 46 are set by `build_terrain_types`; type 0 and types
/// 47 to 61 stay black fan types.
inline constexpr int terrain_type_count = 62;

extern terrain_type terrain_types[terrain_type_count];

/// Fills types 1 to 46: each one's strip flag, then each one's colour.
void build_terrain_types();

void set_type_strip(int type, int flag);
void set_type_colour(int type, int red, int green, int blue);
