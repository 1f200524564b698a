// Plot files written from figures read back as the same figures: pens and pen values, negative coordinates,
// one point figures; and a failed write leaves the old file.

#include "files/plot_file_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "config/file_write.h"
#include "files/hpgl_test_support.h"
#include "geometry/run_time_error.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

tfigura Figure(std::vector<TPlotPoint> points, uint8_t pen = 0, double pen_value = 0.0) {
  tfigura figure;
  figure.points = std::move(points);
  figure.pen = pen;
  figure.pen_value = pen_value;
  return figure;
}

TEST(PlotFileWriter, TheReaderReadsBackTheSameFigures) {
  const std::vector<tfigura> written = {
      Figure({{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}),
      Figure({{-120, -7}, {-5000, 30000}, {2147483647, -2147483647}}, 3, 0.35),
      Figure({{17, 18}}, 3, 0.35),
      Figure({{100, 100}, {200, 100}}, 0),
      Figure({{5, 5}, {9, 9}}, 7, 1.25),
  };
  std::vector<const tfigura*> figures;
  for (const tfigura& figure : written) figures.push_back(&figure);
  const std::vector<tfigura> read = testing::ReadPlot(PlotFileText(figures));
  ASSERT_EQ(read.size(), written.size());
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].points, written[i].points) << i;
    EXPECT_EQ(read[i].pen, written[i].pen) << i;
    EXPECT_DOUBLE_EQ(read[i].pen_value, written[i].pen_value) << i;
  }
  // A point repeated in a row is written once, as the reader would keep it.
  const tfigura repeated = Figure({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 0}});
  const std::vector<tfigura> back = testing::ReadPlot(PlotFileText({&repeated}));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].points, (std::vector<TPlotPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
}

TEST(PlotFileWriter, AFailedWriteLeavesTheOldFileAndSaysWhy) {
  testing::TempFolder folder;
  const std::string path = folder.Write("kept.plt", "IN;PU0,0;PD10,0;");
  const tfigura figure = Figure({{0, 0}, {50, 0}, {50, 50}, {0, 0}});
  {
    ScopedWriteFault full({WriteStep::kWrite, 4, ENOSPC});
    EXPECT_THROW(WritePlotFile(path, {&figure}), RunTimeError);
  }
  std::ifstream file(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "IN;PU0,0;PD10,0;");
}

}  // namespace
}  // namespace varnholt
