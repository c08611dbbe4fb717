#pragma once

// The real-reader check: an exported sector read back by third-party software.
// OpenSceneGraph's osgconv converts the object, with its optimizer off, to a text scene, and
// every triangle, its positions and its surface colour, and the number of points the reader
// logs, are compared with what the sector holds.
//
// The reader takes +Y as up and turns the object into its own z-up frame by exchanging y
// and z, reverses the vertex order of each triangle, and makes one geometry per surface
// used, in ascending surface order, three vertices per triangle, coloured from COLR.

#include <cstddef>
#include <filesystem>
#include <string>

#include "terrain_files.hpp"

namespace sector_test {

/// The path of osgconv, or "" where it is not installed.
std::string find_osgconv();

/// Converts `object_name` in `dir` with osgconv and checks the scene against `sector`
/// (gtest failures); `triangles` gets the number of triangles the scene holds.
void expect_osgconv_reads(const std::string& osgconv, const std::filesystem::path& dir,
                          const std::string& object_name, const terrain_file_sector& sector,
                          std::size_t& triangles);

}  // namespace sector_test
