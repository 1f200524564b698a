#include "project/figure_joiner.h"

#include <gtest/gtest.h>

#include <random>

#include "geometry/geometry.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;

// The joining and duplicate rules of a load written as plain loops over the list: the oracle for the indexed list.
class LiteralList {
 public:
  void Load(tfigura figure) {
    if (figure.open && figure.points.size() > 1) Join(figure);
    for (const tfigura& listed : list_) {
      if (listed.points == figure.points) return;
    }
    licz_parametry(figure);
    list_.push_back(std::move(figure));
  }
  const std::vector<tfigura>& figures() const { return list_; }

 private:
  void Join(tfigura& f) {
    bool joined = true;
    while (joined) {
      joined = false;
      for (size_t i = 0; i < list_.size();) {
        const tfigura& g = list_[i];
        if (!g.open || g.points.size() <= 1) {
          ++i;
          continue;
        }
        const TPlotPoint a = f.points.front(), z = f.points.back();
        const TPlotPoint b = g.points.front(), e = g.points.back();
        auto& p = f.points;
        const auto& q = g.points;
        if (PointsNear(z, b)) {
          for (size_t k = 1; k < q.size(); ++k) p.push_back(q[k]);
        } else if (PointsNear(z, e)) {
          for (size_t k = q.size() - 1; k-- > 0;) p.push_back(q[k]);
        } else if (PointsNear(a, b)) {
          for (size_t k = 1; k < q.size(); ++k) p.insert(p.begin(), q[k]);
        } else if (PointsNear(a, e)) {
          for (size_t k = q.size() - 1; k-- > 0;) p.insert(p.begin(), q[k]);
        } else {
          ++i;
          continue;
        }
        list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(i));
        joined = true;
      }
    }
  }

  std::vector<tfigura> list_;
};

tfigura ReaderFigure(Points points) {
  tfigura figure;
  figure.points = std::move(points);
  // The readers' own rule: closed only when the last point repeats the first exactly.
  figure.open = figure.points.size() > 2 && figure.points.front() == figure.points.back() ? 0 : 1;
  figure.has_points = 1;
  return figure;
}

std::vector<Points> LoadIndexed(const std::vector<tfigura>& input) {
  LoadingFigureList list;
  for (const tfigura& original : input) {
    auto figure = std::make_unique<tfigura>(original);
    list.JoinOpenFigures(*figure);
    if (list.HasIdentical(*figure)) continue;
    licz_parametry(*figure);
    list.Append(std::move(figure));
  }
  std::vector<Points> result;
  for (const auto& figure : list.Compact()) result.push_back(figure->points);
  return result;
}

std::vector<Points> LoadLiteral(const std::vector<tfigura>& input) {
  LiteralList list;
  for (const tfigura& figure : input) list.Load(figure);
  std::vector<Points> result;
  for (const tfigura& figure : list.figures()) result.push_back(figure.points);
  return result;
}

TEST(FigureJoiner, EachOfTheFourEndPairings) {
  // Z~B, Z~E, A~B, A~E against a listed stroke (0,0)-(100,0)-(100,100).
  const Points listed{{0, 0}, {100, 0}, {100, 100}};
  const auto join = [&](Points f) {
    LoadingFigureList list;
    auto g = std::make_unique<tfigura>(ReaderFigure(listed));
    licz_parametry(*g);
    list.Append(std::move(g));
    tfigura figure = ReaderFigure(std::move(f));
    list.JoinOpenFigures(figure);
    EXPECT_EQ(list.size(), 0u);
    return figure.points;
  };
  EXPECT_EQ(join({{-50, -50}, {3, 3}}), (Points{{-50, -50}, {3, 3}, {100, 0}, {100, 100}}));
  EXPECT_EQ(join({{-50, -50}, {103, 97}}), (Points{{-50, -50}, {103, 97}, {100, 0}, {0, 0}}));
  EXPECT_EQ(join({{5, 5}, {-50, -50}}), (Points{{100, 100}, {100, 0}, {5, 5}, {-50, -50}}));
  EXPECT_EQ(join({{100, 109}, {-50, -50}}), (Points{{0, 0}, {100, 0}, {100, 109}, {-50, -50}}));
}

TEST(FigureJoiner, IdenticalMeansSamePointsInTheSameOrder) {
  LoadingFigureList list;
  auto square = std::make_unique<tfigura>(ReaderFigure({{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
  licz_parametry(*square);
  list.Append(std::move(square));
  EXPECT_TRUE(list.HasIdentical(ReaderFigure({{0, 0}, {10, 0}, {10, 10}, {0, 0}})));
  EXPECT_FALSE(list.HasIdentical(ReaderFigure({{0, 0}, {10, 10}, {10, 0}, {0, 0}})));
  EXPECT_FALSE(list.HasIdentical(ReaderFigure({{0, 0}, {10, 0}, {10, 10}})));
}

TEST(FigureJoiner, IndexedListAgreesWithTheLiteralRule) {
  std::mt19937 random(8122026);
  for (int round = 0; round < 300; ++round) {
    // Strokes on a coarse grid so that ends often meet, sometimes within the 10-unit tolerance, sometimes twice.
    const int count = 1 + static_cast<int>(random() % 60);
    // Small grids make several listed strokes meet the same end, where the order of the joins shows.
    std::uniform_int_distribution<int> grid(0, round % 2 == 0 ? 2 : 6);
    std::uniform_int_distribution<int> jitter(-12, 12);
    std::vector<tfigura> input;
    for (int i = 0; i < count; ++i) {
      Points points;
      const int length = 1 + static_cast<int>(random() % 4);
      for (int k = 0; k < length; ++k) {
        points.push_back({grid(random) * 100 + (random() % 3 == 0 ? jitter(random) : 0),
                          grid(random) * 100 + (random() % 3 == 0 ? jitter(random) : 0)});
      }
      if (random() % 5 == 0) points.push_back(points.front());
      input.push_back(ReaderFigure(points));
      if (random() % 8 == 0) input.push_back(input.back());  // drawn twice
    }
    ASSERT_EQ(LoadIndexed(input), LoadLiteral(input)) << "round " << round;
  }
  // Ends in negative cells, and a stroke from one end of the coordinate range to the other.
  const std::vector<tfigura> input{ReaderFigure({{-15, -15}, {-200, 0}}), ReaderFigure({{-6, -6}, {300, 0}}),
                                   ReaderFigure({{-2147483647 - 1, 5}, {2147483647, 5}})};
  EXPECT_EQ(LoadIndexed(input), LoadLiteral(input));
  EXPECT_EQ(LoadIndexed(input).size(), 2u);
}

}  // namespace
}  // namespace varnholt
