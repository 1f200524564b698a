// The dxflib library's parse of a DXF file as a whole process, to time against `varnholt-cli figures`: it counts
// the entities and vertices the library hands over and prints the counts. Usage: varnholt-dxflib-parse FILE.dxf

#include <dxflib/dl_dxf.h>

#include <cstdio>

#include "dxflib_counter.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s FILE.dxf\n", argv[0]);
    return 1;
  }
  DxflibCounter counter;
  DL_Dxf dxf;
  if (!dxf.in(argv[1], &counter)) {
    std::fprintf(stderr, "dxflib cannot read %s\n", argv[1]);
    return 1;
  }
  std::printf("%ld entities, %ld vertices\n", counter.entities, counter.vertices);
  return 0;
}
