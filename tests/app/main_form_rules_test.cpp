#include "app/main_form_rules.h"

#include <gtest/gtest.h>

namespace varnholt {
namespace {

TEST(MainFormRules, StatusPanelKeepsAnEighthOfTheBarForTheOtherPanel) {
  EXPECT_EQ(StatusPanelWidth(800), 700);
  EXPECT_EQ(StatusPanelWidth(1004), 878) << "125.5 rounds to the even 126";
  EXPECT_EQ(StatusPanelWidth(1012), 886) << "126.5 rounds to the even 126";
  EXPECT_EQ(StatusPanelWidth(0), 0);
}

TEST(MainFormRules, MenuStateFollowsTheOpenProjectsAndTheFilesPresent) {
  MenuFacts none;
  MenuState state = MenuStateFor(none);
  EXPECT_FALSE(state.project_open);
  EXPECT_FALSE(state.duplication);

  MenuFacts one{1, "/drawings/sign.plt", true, false, true};
  state = MenuStateFor(one);
  EXPECT_TRUE(state.project_open);
  EXPECT_TRUE(state.duplication);
  EXPECT_TRUE(state.manual_visible);
  EXPECT_FALSE(state.samples_visible);
  EXPECT_TRUE(state.catalogue_visible);

  for (const char* caption : {"/drawings/rows.dpl", "ROWS.DPL", "rows.Dpl"}) {
    EXPECT_FALSE(MenuStateFor({2, caption, false, false, false}).duplication) << caption;
  }
  EXPECT_TRUE(MenuStateFor({2, "rows.dpl.plt", false, false, false}).duplication);
}

TEST(MainFormRules, Captions) {
  EXPECT_EQ(MainWindowCaption("Version", "0.1"), "Varnholt   Version 0.1");
  EXPECT_EQ(CatalogueCaption("ACME", true, "Catalogue"), "ACME Catalogue");
  EXPECT_EQ(CatalogueCaption("ACME", false, "Catalogue"), "Quellmar Catalogue");
  EXPECT_EQ(FolderOf("/home/op/drawings/a.plt"), "/home/op/drawings");
  EXPECT_EQ(FolderOf("a.plt"), "");
}

}  // namespace
}  // namespace varnholt
