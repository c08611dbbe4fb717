#pragma once

#include <string>

#include "file_io.hpp"
#include "map_layers.hpp"

// "map_preview.svg": the map's layers as one SVG 1.1 document, UTF-8, lines ending in a
// line feed. x runs to the right and z upward (a point (x, z) is drawn at (x, -z)), one unit
// to the metre in every layer; the viewBox holds the map, a legend to its right and a scale
// bar below it. Each layer is a group with an id, drawn bottom to top:
//
//   terrain        one rect per sector (the rectangle its points span), shaded by its mean
//                  height from the lowest mean to the highest, with a <title>
//   sector-labels  one text per sector, the name sector_export gives it, such as 005x012
//   outlines       one polygon per "map.LCOV" record
//   roads          one polyline per road of "Grand.ROAD"
//   road-points    one circle per road point (the markers of a merged file show in its
//                  last road, which the file does not mark)
//   paths          one polyline per path of "ROADS.WP"
//   nodes          one circle per node position of "ROADS.NDE"
//   bridges        one line per bridge of "bridge.dat", end1 to end2
//   scale-bar      a bar of a round number of metres
//   legend         one entry per layer drawn
//
// A layer whose file was not read has no group and no legend entry.

/// Where the document goes: text is gathered in `text` and, when `out` is set, written out
/// in large blocks as it grows, so that a map of millions of points does not sit in memory
/// twice.
struct svg_output {
    std::string text;
    output_file* out = nullptr;
};

/// Appends the whole document for `layers`, written out as it goes when the output is set.
void write_preview_svg(const map_layers& layers, svg_output& output);

/// The document for `layers` as text.
std::string preview_svg_text(const map_layers& layers);

/// Replaces "map_preview.svg" in the working directory with the preview of `layers`,
/// printing "map_preview.svg opened". A failed write leaves the old file as it was.
void write_map_preview(const map_layers& layers);
