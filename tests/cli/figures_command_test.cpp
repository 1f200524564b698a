#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "cli/kept_until_exit.h"
#include "files/dxf_test_support.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Drawing;

class FiguresCommand : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) { return folder_.Write(name, text); }
  int Run(const cli::Arguments& args) {
    out_.str("");
    err_.str("");
    return cli::RunFigures(args, out_, err_);
  }

  testing::TempFolder folder_;
  std::ostringstream out_;
  std::ostringstream err_;
};

testing::Groups Line(double x1, double y1, double x2, double y2, int colour = 0) {
  testing::Groups groups = {{0, "LINE"}, {8, "0"}};
  if (colour != 0) groups.push_back({62, std::to_string(colour)});
  groups.insert(groups.end(), {{10, std::to_string(x1)},
                               {20, std::to_string(y1)},
                               {11, std::to_string(x2)},
                               {21, std::to_string(y2)}});
  return groups;
}

testing::Groups Concat(std::initializer_list<testing::Groups> parts) {
  testing::Groups all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(FiguresCommand, FourLinesLoadAsOneClosedRectangleRawKeepsThemApart) {
  const std::string path = Write("rect.dxf", Drawing(Concat({Line(0, 0, 10, 0), Line(10, 0, 10, 5),
                                                             Line(10, 5, 0, 5), Line(0, 5, 0, 0)})));
  ASSERT_EQ(Run({path}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "{\"figures\":[{\"pen\":1,\"pen_value\":0.0,\"closed\":true,"
            "\"points\":[[0,200],[0,0],[400,0],[400,200],[0,200]]}],\"box\":[0,0,400,200],\"messages\":[]}\n");

  ASSERT_EQ(Run({path, "--raw"}), 0) << err_.str();
  EXPECT_EQ(out_.str().find("\"box\""), std::string::npos);
  size_t strokes = 0;
  for (size_t at = 0; (at = out_.str().find("\"closed\":false", at)) != std::string::npos; ++at) ++strokes;
  EXPECT_EQ(strokes, 4u);
}

TEST_F(FiguresCommand, UnitPenFilterAndDuplicates) {
  // Colour 1 (pen 3), colour 3 (pen 4) twice: the same line drawn twice, and colour 5 (pen 0). The second copy of
  // the open line meets the first end to end, so the two join into a there-and-back, which counts as closed.
  const std::string drawing =
      Write("pens.dxf", Drawing(Concat({Line(0, 0, 1, 0, 1), Line(0, 1, 1, 1, 3), Line(0, 1, 1, 1, 3),
                                        Line(0, 3, 1, 3, 5)})));
  ASSERT_EQ(Run({drawing, "--pen", "4", "--unit", "inch"}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "{\"figures\":[{\"pen\":4,\"pen_value\":0.0,\"closed\":true,\"points\":[[0,1016],[1016,1016],[0,1016]]}],"
            "\"box\":[0,1016,1016,1016],\"messages\":[]}\n");

  // Pen 6 passes every filter.
  const std::string plot = Write("pens.plt", "SP1;PU0,0;PD10,0;SP4;PU0,20;PD10,20;SP6;PU0,40;PD10,40;SP2;PU0,60;PD9,60;");
  ASSERT_EQ(Run({plot, "--pen", "4"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("\"pen\":4,"), std::string::npos);
  EXPECT_NE(out_.str().find("\"pen\":6,"), std::string::npos);
  EXPECT_EQ(out_.str().find("\"pen\":1,"), std::string::npos);
  EXPECT_EQ(out_.str().find("\"pen\":2,"), std::string::npos);
}

TEST_F(FiguresCommand, WorkingRangeMessageAndReaderNotes) {
  // 4800.025 mm wide: one unit beyond the initial X range; then an arc the reader must skip.
  const testing::Groups arc = {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "0"}, {50, "0"}, {51, "90"}};
  const std::string path = Write("wide.dxf", Drawing(Concat({Line(0, 0, 4800.025, 0), arc})));
  ASSERT_EQ(Run({path}), 0) << err_.str();
  EXPECT_NE(out_.str().find("\"box\":[0,0,192001,0],\"messages\":[\"The project is larger than the working area of "
                            "the machine.\"],\"notes\":[{\"line\":"),
            std::string::npos)
      << out_.str();
}

TEST_F(FiguresCommand, FailuresGoToStandardError) {
  const std::string missing = folder_.PathOf("missing.plt");
  EXPECT_EQ(Run({missing}), 1);
  EXPECT_EQ(err_.str(), "Cannot open the file: " + missing + " (no such file or directory)\n");
  EXPECT_TRUE(out_.str().empty());

  EXPECT_EQ(Run({Write("empty.plt", "IN;PU;")}), 1);
  EXPECT_EQ(err_.str(), "The file contains no figures.\n");

  EXPECT_EQ(Run({Write("bad.plt", "PU0,0;PD+-,5;")}), 1);
  EXPECT_EQ(err_.str(), "'+-' is not a valid floating point value\n");
  EXPECT_TRUE(out_.str().empty()) << "a drawing read in part prints nothing";

  const std::string plot = Write("a.plt", "PU0,0;PD10,0;");
  EXPECT_EQ(Run({plot, "--pen", "256"}), 1);
  EXPECT_EQ(Run({plot, "--pen", "-1"}), 1);
  EXPECT_EQ(Run({plot, "--unit", "yard"}), 1);
  EXPECT_EQ(Run({plot, "--kind", "svg"}), 1);
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(Run({plot, plot}), 1);
  EXPECT_EQ(Run({plot, "--pen", "3"}), 1) << "pen 3 keeps nothing of a pen-0 drawing";
  EXPECT_EQ(err_.str(), "The file contains no figures.\n");
}

TEST_F(FiguresCommand, LoadedProjectLeftToTheProcessEndOnlyWhenAsked) {
  const std::string plot = Write("square.plt", "PU0,0;PD100,0,100,100,0,100,0,0;PU;PU300,0;PD400,0;PU;");
  const size_t kept_before = cli::KeptCount();
  ASSERT_EQ(Run({plot}), 0) << err_.str();
  const std::string freed = out_.str();
  EXPECT_EQ(cli::KeptCount(), kept_before) << "a command inside a longer-lived process frees what it loaded";

  cli::SetKeepUntilExit(true);
  const int code = Run({plot});
  cli::SetKeepUntilExit(false);
  ASSERT_EQ(code, 0) << err_.str();
  EXPECT_EQ(out_.str(), freed) << "the same output, all of it written before the project is left";
  EXPECT_EQ(cli::KeptCount(), kept_before + 1);

  cli::SetKeepUntilExit(true);
  EXPECT_EQ(Run({Write("empty.plt", "IN;PU;")}), 1);
  cli::SetKeepUntilExit(false);
  EXPECT_EQ(cli::KeptCount(), kept_before + 1) << "a failed load keeps nothing";
}

}  // namespace
}  // namespace varnholt
