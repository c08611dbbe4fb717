#include "road_file.hpp"
#include "road_log.hpp"

int main() {
    load_road_file("Grand.ROAD");
    write_road_log();
    return 0;
}
