#include "drive_path.hpp"
#include "road_file.hpp"
#include "screenshot_markers.hpp"

int main() {
    load_road_file(drive_path(merge_road_file_path).c_str());
    read_screenshot_markers();
    write_road_file();
    return 0;
}
