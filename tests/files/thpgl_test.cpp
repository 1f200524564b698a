#include "files/thpgl.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files/file_open.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

class ThpglFiles : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) { return folder_.Write(name, text); }

  testing::TempFolder folder_;
};

TEST_F(ThpglFiles, ReadsAPlotFileFigureByFigure) {
  Thpgl reader;
  ASSERT_EQ(reader.Open(Write("two.plt", "PU0,0;PD10,0;PU;PU5,5;PD6,6;"), kPlotFile), kIoOk);
  std::vector<size_t> sizes;
  while (!reader.AtEof()) {
    tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) sizes.push_back(figure.points.size());
  }
  reader.Close();
  EXPECT_EQ(sizes, (std::vector<size_t>{2, 2}));
  EXPECT_TRUE(reader.AtEof());
}

TEST_F(ThpglFiles, ReadsADxfDrawingInItsUnitWithNotes) {
  const std::string path = Write("one.dxf",
                                 "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n 10\r\n0\r\n 20\r\n0\r\n"
                                 " 11\r\n1\r\n 21\r\n0\r\n  0\r\nARC\r\n 40\r\n0\r\n  0\r\nEOF\r\n");
  Thpgl reader;
  ASSERT_EQ(reader.Open(path, kDxfFile, DrawingUnit::kInch, 0.5), kIoOk);
  std::vector<std::vector<TPlotPoint>> figures;
  while (!reader.AtEof()) {
    tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) figures.push_back(figure.points);
  }
  EXPECT_EQ(figures, (std::vector<std::vector<TPlotPoint>>{{{0, 0}, {1016, 0}}}));
  ASSERT_EQ(reader.Notes().size(), 1u);
  EXPECT_EQ(reader.Notes()[0].text(), "ARC skipped: it lacks group 10");
  EXPECT_EQ(reader.ltscale(), 0.5);
  reader.Close();
  EXPECT_TRUE(reader.Notes().empty());
}

// Reads a shipped sample through Thpgl; returns the figures with points.
std::vector<tfigura> ReadSample(const std::string& name, int kind) {
  // The source tree's samples, unless the environment names another folder. (A path built from __FILE__ is relative
  // when the compiler cache rewrites paths, and then depends on the folder the test runs in.)
  const char* variable = std::getenv("VARNHOLT_SAMPLES");
  const std::filesystem::path folder = variable != nullptr ? variable : VARNHOLT_SOURCE_SAMPLES;
  Thpgl reader;
  EXPECT_EQ(reader.Open((folder / name).string(), kind), kIoOk) << name;
  std::vector<tfigura> figures;
  while (!reader.AtEof()) {
    tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) figures.push_back(figure);
  }
  for (const ReaderNote& note : reader.Notes()) EXPECT_NE(note.text().find("not read"), std::string::npos) << note.text();
  return figures;
}

TEST_F(ThpglFiles, SampleDrawingsReadWhole) {
  const auto rib = ReadSample("wing_rib.dxf", kDxfFile);
  ASSERT_EQ(rib.size(), 7u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rib[i].open, 0) << i;  // outline, spar hole, two slots
  EXPECT_EQ(rib[0].pen, 3);
  EXPECT_EQ(rib[4].pen, 4);
  // The frame's lines and arc meet end to end, for the project to join.
  EXPECT_EQ(rib[4].points.back(), rib[5].points.front());
  EXPECT_EQ(rib[5].points.back(), rib[6].points.front());

  const auto sign = ReadSample("sign_vh.dxf", kDxfFile);  // CR LF line ends
  ASSERT_EQ(sign.size(), 5u);
  EXPECT_EQ(sign[0].width, 2 * 140 * 40);
  EXPECT_EQ(sign[1].points.size(), 8u);  // the V: seven vertices and the copy of the first
}

TEST_F(ThpglFiles, OpenFailuresReturnIoCodes) {
  Thpgl reader;
  EXPECT_EQ(reader.Open(folder_.PathOf("missing.plt"), kPlotFile), kIoFileNotFound);
  EXPECT_EQ(reader.Open(folder_.PathOf("no/such/x.plt"), kPlotFile), kIoFileNotFound);
  EXPECT_EQ(reader.Open(Write("file", "x") + "/below.plt", kPlotFile), kIoPathNotFound);
  EXPECT_EQ(reader.Open(folder_.folder(), kPlotFile), kIoAccessDenied);
  EXPECT_TRUE(reader.AtEof());
  // A device or a pipe is no drawing: refused at once, whether or not anything writes into the pipe.
  EXPECT_NE(reader.Open("/dev/zero", kPlotFile), kIoOk);
  EXPECT_NE(reader.Open("/dev/null", kDxfFile), kIoOk);
  const std::string pipe = folder_.PathOf("pipe.plt");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  EXPECT_NE(reader.Open(pipe, kPlotFile), kIoOk);
  ::close(writer);
  EXPECT_NE(reader.Open(pipe, kPlotFile), kIoOk);
  EXPECT_TRUE(reader.AtEof());
}

TEST_F(ThpglFiles, EmptyFileIsAtEofAtOnce) {
  Thpgl reader;
  ASSERT_EQ(reader.Open(Write("empty.plt", ""), kPlotFile), kIoOk);
  EXPECT_TRUE(reader.AtEof());
}

TEST(IoCodes, ErrnoMapping) {
  EXPECT_EQ(IoCodeFromErrno(ENOENT), kIoFileNotFound);
  EXPECT_EQ(IoCodeFromErrno(EACCES), kIoAccessDenied);
  EXPECT_EQ(IoCodeFromErrno(EBUSY), kIoSharingViolation);
  EXPECT_EQ(IoCodeFromErrno(EIO), EIO);
}

}  // namespace
}  // namespace varnholt
