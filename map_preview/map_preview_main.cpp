#include "fail.hpp"
#include "map_layers.hpp"
#include "preview_svg.hpp"

int main(int argc, char**) {
    if (argc != 1) fail("usage: map_preview (run in a map folder; no arguments)");
    const map_layers layers = read_map_layers();
    write_map_preview(layers);
    return 0;
}
