#include "exporter.hpp"
#include "fail.hpp"
#include "lwob_writer.hpp"
#include "terrain.hpp"
#include "terrain_types.hpp"

int main(int argc, char** argv) {
    if (argc != 3) fail("usage: sector_export ROW COLUMN");
    const int row = sector_argument(argv[1], "row");
    const int column = sector_argument(argv[2], "column");

    load_terrain();
    build_terrain_types();
    const std::string file_name = sector_file_name(row, column);
    write_sector_lwo(row, column, file_name.c_str());
    return 0;
}
