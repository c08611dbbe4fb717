#include "road_file.hpp"
#include "road_log.hpp"

int main() {
    load_road_file(road_file_name);
    write_road_log();
    return 0;
}
