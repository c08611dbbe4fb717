#include "bridges.hpp"
#include "land_cover_outline.hpp"
#include "quad_log.hpp"
#include "road_file.hpp"
#include "section_quads.hpp"

int main() {
    load_road_file(road_file_name);
    // Without "bridge.dat" the roads are cut at no bridge; the split still lists them.
    read_bridges();
    split_roads_at_bridges();
    build_section_quads();
    write_quad_log();
    write_land_cover_outline();
    return 0;
}
