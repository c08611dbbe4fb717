#include "terrain_types.hpp"

terrain_type terrain_types[terrain_type_count];

namespace {

struct type_entry {
    int type;
    int is_strip;
    int red;
    int green;
    int blue;
};

// clang-format off
constexpr type_entry type_table[] = {
    {1, 1, 4, 103, 115},     {2, 0, 4, 103, 115},     {3, 1, 190, 170, 15},    {4, 1, 141, 122, 84},
    {5, 1, 190, 170, 15},    {6, 1, 190, 170, 15},    {7, 0, 4, 103, 115},     {8, 1, 199, 172, 120},
    {9, 0, 61, 135, 75},     {10, 0, 255, 255, 80},   {11, 0, 100, 70, 40},    {12, 0, 140, 70, 50},
    {13, 0, 190, 170, 15},   {14, 0, 170, 140, 0},    {15, 0, 81, 165, 85},    {16, 0, 41, 115, 50},
    {17, 0, 255, 255, 80},   {18, 0, 100, 70, 40},    {19, 0, 140, 70, 50},    {20, 0, 190, 170, 15},
    {21, 0, 170, 140, 0},    {22, 0, 81, 165, 85},    {23, 0, 255, 255, 255},  {24, 0, 80, 60, 30},
    {25, 1, 61, 135, 75},    {26, 1, 141, 122, 84},   {27, 1, 190, 170, 15},   {28, 1, 190, 170, 15},
    {29, 1, 255, 255, 255},  {30, 1, 255, 255, 255},  {31, 1, 80, 60, 30},     {32, 1, 80, 60, 30},
    {33, 1, 80, 60, 30},     {34, 1, 80, 60, 30},     {35, 1, 80, 60, 30},     {36, 1, 80, 60, 30},
    {37, 0, 255, 255, 255},  {38, 0, 255, 255, 255},  {39, 0, 255, 255, 255},  {40, 0, 255, 255, 255},
    {41, 1, 255, 255, 255},  {42, 1, 255, 255, 255},  {43, 1, 38, 38, 38},     {44, 1, 255, 255, 255},
    {45, 1, 190, 170, 15},   {46, 0, 190, 170, 15},
};
// clang-format on

}  // namespace

void build_terrain_types() {
    for (const type_entry& entry : type_table) set_type_strip(entry.type, entry.is_strip);
    for (const type_entry& entry : type_table)
        set_type_colour(entry.type, entry.red, entry.green, entry.blue);
}

void set_type_strip(int type, int flag) { terrain_types[type].is_strip = static_cast<unsigned char>(flag); }

void set_type_colour(int type, int red, int green, int blue) {
    terrain_types[type].colour[0] = static_cast<unsigned char>(red);
    terrain_types[type].colour[1] = static_cast<unsigned char>(green);
    terrain_types[type].colour[2] = static_cast<unsigned char>(blue);
}
