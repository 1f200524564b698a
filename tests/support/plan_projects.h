#pragma once
// Projects made up for planning tests and benchmarks: random mixes of shapes, and grids of letters with holes.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/project_document.h"

namespace varnholt {

// A project document without language texts, for planning runs.
std::unique_ptr<ProjectDocument> EmptyProject();

// Adds a drawing figure with these points (measured as a load measures it).
void AddShape(ProjectDocument& project, std::vector<TPlotPoint> points);
// Sets the project box, list indexes and origins as the end of a load does.
void FinishProject(ProjectDocument& project);

// A closed polygon of `sides` corners on a circle (last point repeats the first).
std::vector<TPlotPoint> Polygon(int32_t cx, int32_t cy, int32_t radius, int32_t sides, double turn = 0.0);
std::vector<TPlotPoint> Rectangle(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

// A random project of about `count` figures: rectangles, polygons and circles, letters with holes and islands,
// figures sharing vertices, open lines and (with lead_ins) lines from a vertex outwards, overlapping at random.
std::unique_ptr<ProjectDocument> RandomProject(uint32_t seed, int32_t count, bool add_frame, bool lead_ins = true);

// A grid of letters and shapes with holes and islands, of about `count` figures.
std::unique_ptr<ProjectDocument> LetterGrid(int32_t count, bool add_frame);

// Small squares in chains, each touching the one before it at a corner (within the touch tolerance), zig-zagging
// along rows; about `count` squares in chains of `chain_length`. With `from_corner` the first chain begins at the
// project corner, where a start marker touches it.
std::unique_ptr<ProjectDocument> TouchingChains(int32_t count, int32_t chain_length, bool add_frame,
                                                bool from_corner = false, uint32_t seed = 1);

// Curves as drawings of curved parts come: finely drawn circles (some concentric, so they nest), open arcs and
// smooth open curves, closed outlines with bulged sides, rectangles sharing a corner; about `count` figures
// overlapping where positions repeat.
std::unique_ptr<ProjectDocument> CurveDrawing(uint32_t seed, int32_t count, bool add_frame);

// The same figures in another list order (shuffled by seed), measured and boxed again.
std::unique_ptr<ProjectDocument> Reordered(const ProjectDocument& project, uint32_t seed);

// A deep copy of a project's figures and fields.
std::unique_ptr<ProjectDocument> CopyProject(const ProjectDocument& project);

// Every planning field of the project and of its entries, one line each, to compare two plans.
std::vector<std::string> DescribePlan(const ProjectDocument& project);

}  // namespace varnholt
