// The dxflib library's parse of a DXF file as a whole process, to time against `varnholt-cli figures`: it counts
// the entities and vertices the library hands over and prints the counts. Usage: varnholt-dxflib-parse FILE.dxf

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <cstdio>

namespace {

class EntityCounter : public DL_CreationAdapter {
 public:
  void addLine(const DL_LineData&) override { ++entities; }
  void addArc(const DL_ArcData&) override { ++entities; }
  void addCircle(const DL_CircleData&) override { ++entities; }
  void addPolyline(const DL_PolylineData&) override { ++entities; }
  void addVertex(const DL_VertexData&) override { ++vertices; }
  void addSpline(const DL_SplineData&) override { ++entities; }
  void addControlPoint(const DL_ControlPointData&) override { ++vertices; }
  long entities = 0;
  long vertices = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: %s FILE.dxf\n", argv[0]);
    return 1;
  }
  EntityCounter counter;
  DL_Dxf dxf;
  if (!dxf.in(argv[1], &counter)) {
    std::fprintf(stderr, "dxflib cannot read %s\n", argv[1]);
    return 1;
  }
  std::printf("%ld entities, %ld vertices\n", counter.entities, counter.vertices);
  return 0;
}
