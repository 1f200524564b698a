#pragma once
// Counts what the dxflib library hands over while it parses, so that its parse does the same work on every run.

#include <dxflib/dl_creationadapter.h>

class DxflibCounter : public DL_CreationAdapter {
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
