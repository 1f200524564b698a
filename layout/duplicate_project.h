#pragma once
// A new project that holds a pattern project's figures in rows and columns, joined by one connecting path, and
// planned as one cut.

#include <memory>
#include <string>
#include <vector>

#include "layout/grid.h"
#include "project/project_document.h"

namespace varnholt {

// A project made by duplication, with the caption its window takes (the ".dpl" path).
struct DuplicatedProject {
  std::unique_ptr<ProjectDocument> project;
  std::string caption;
};

// Where the wire enters the pattern: its start figure's entry vertex; the lower-left corner of its box when the
// pattern has no start figure with points.
TPlotPoint PatternStartPoint(const ProjectDocument& pattern);

// The connecting path the duplicated project gets (without building the copies).
std::vector<TPlotPoint> ConnectingPathFor(const ProjectDocument& pattern, const GridLayout& grid);

// Builds the new project from checked values (CheckDuplication): for each row from the bottom and each column from
// the left, a copy of every entry of the pattern's list in list order, shifted by the pitches; then the connecting
// path as a closed connector; the box, and the cut planned with progress and abort through the current operator.
// The new project takes the pattern's drawing kind, the program settings the pattern was loaded with and the kerf
// its figures were compensated for; the pattern is not changed. `texts` must outlive the new project.
std::unique_ptr<ProjectDocument> BuildDuplicate(const ProjectDocument& pattern, const DuplicationParameters& values,
                                                TextLookup texts);

// The connecting path of a project BuildDuplicate made: its last entry before those planning appended.
const tfigura& ConnectingPathOf(const ProjectDocument& duplicated);

}  // namespace varnholt
