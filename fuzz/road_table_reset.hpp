#pragma once

#include <cstring>

#include "road_table.hpp"

/// The road table as at program start, as far as any stage can tell: every count zero, the
/// header words of every road record zero, and the bridge and marker tables cleared. The
/// points and quads of a record are left as an earlier input left them: a stage reads them
/// only below the counts, and only after it or an earlier stage of the same input has written
/// them, and clearing the 31 MB of the two road arrays would slow every input down a
/// hundredfold.
inline void reset_road_table() {
    for (road_record* table : {roads, split_roads}) {
        for (int i = 0; i < max_roads; ++i) {
            table[i].attribute_1 = 0;
            table[i].attribute_2 = 0;
            table[i].point_count = 0;
            table[i].section_count = 0;
        }
    }
    road_count = 0;
    std::memset(bridges, 0, sizeof bridges);
    bridge_count = 0;
    std::memset(markers, 0, sizeof markers);
    marker_count = 0;
}
