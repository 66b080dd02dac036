// Usage: tarvane_grids_file OUT
// Every Lambert conic grid of the EPSG registry, one line each, into OUT.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "core/crs/Grids.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tarvane_grids_file OUT\n";
        return 2;
    }
    std::string text;
    try {
        for (const Epsg::Grid& grid : Epsg::Registry().List()) text += Epsg::GridLine(grid);
    } catch (const Epsg::Error& e) {
        std::cerr << "tarvane_grids_file: " << e.what() << '\n';
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "tarvane_grids_file: cannot write " << argv[1] << '\n';
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
