#pragma once
// Writes figures as an HPGL plot file that the plot file reader reads back into the same figures.

#include <string>
#include <vector>

#include "geometry/figure.h"

namespace varnholt {

// The plot file text of the figures, one pen-down stroke each in list order: the pen selected ("SP") and its
// value given ("PW", when not 0) as the figure has them, the pen lifted to the first point and put down
// through the others. A point repeating the one before it is written once, as the reader keeps it.
std::string PlotFileText(const std::vector<const tfigura*>& figures);

// Writes PlotFileText to path; a file there is replaced only once the new one is complete. Throws
// RunTimeError with the run-time message, the system's reason and the file when the file cannot be written.
void WritePlotFile(const std::string& path, const std::vector<const tfigura*>& figures);

}  // namespace varnholt
