// Skinned popup menus: window and row geometry, the side a cascade opens on, the words of the
// choice messages, and the row list's limits.
#include <gtest/gtest.h>

#include <string>

#include "skin/core/bmp_menu_info.h"
#include "skin/core/bmp_menu_layout.h"

namespace {

TEST(BmpMenuGeometry, MenuIsAsHighAsItsRowsAndTwentyPixelsWiderThanTheImage) {
  EXPECT_EQ(BmpMenuRect(100, 50, 150, 30, 3), (MenuRect{100, 50, 270, 140}));
  EXPECT_EQ(BmpMenuRect(0, 0, 150, 30, 0).Height(), 0);
  // Rows past the twenty buttons, and nonsense counts, take no room.
  EXPECT_EQ(BmpMenuRect(0, 0, 150, 30, 21).Height(), 600);
  EXPECT_EQ(BmpMenuRect(0, 0, 150, 30, -4).Height(), 0);
  // A missing row image (size 0) gives a window of no height, not a negative one.
  EXPECT_EQ(BmpMenuRect(0, 0, -1, -1, 5), (MenuRect{0, 0, 20, 0}));
}

TEST(BmpMenuGeometry, AMissingRowImageFallsBackToAPlainRowSize) {
  EXPECT_EQ(RowSizeOf(150, 30), (MenuRowSize{150, 30}));
  EXPECT_EQ(RowSizeOf(0, 0), kFallbackRowSize);
  EXPECT_EQ(RowSizeOf(150, 0), kFallbackRowSize);
  EXPECT_GT(kFallbackRowSize.height, 0);
}

TEST(BmpMenuGeometry, RowsAreStackedFromTheTopAcrossTheWholeWidth) {
  EXPECT_EQ(BmpMenuRowRect(0, 150, 30), (MenuRect{0, 0, 170, 30}));
  EXPECT_EQ(BmpMenuRowRect(4, 150, 30), (MenuRect{0, 120, 170, 150}));
}

TEST(BmpMenuGeometry, SecondFacesOnRowsSevenToTenTwelveAndFourteen) {
  for (int row = 0; row < kMaxMenuRows; ++row) {
    const bool expected = row == 7 || row == 8 || row == 9 || row == 10 || row == 12 || row == 14;
    EXPECT_EQ(UsesSecondFaces(row), expected) << row;
  }
}

TEST(BmpMenuGeometry, CascadeOpensRightOfTheMenuBesideItsRow) {
  // Menu at (100, 200), rows 150 × 30, cascade rows 120 × 25, 4 of them, beside row 2.
  const MenuRect cascade = CascadeRect(100, 200, 150, 30, 2, 120, 25, 4, 1280, 1024);
  EXPECT_EQ(cascade, (MenuRect{270, 260, 390, 361}));
}

TEST(BmpMenuGeometry, CascadeThatWouldCrossTheScreenEdgeOpensLeftOverlappingByTwenty) {
  // Right side would end at 1100 + 170 + 120 = 1390 > 1280.
  const MenuRect cascade = CascadeRect(1100, 200, 150, 30, 1, 120, 25, 3, 1280, 1024);
  EXPECT_EQ(cascade.left, 1100 + 20 - 120);
  EXPECT_EQ(cascade.Width(), 120);
  // Exactly touching the edge still opens right.
  EXPECT_EQ(CascadeRect(990, 0, 150, 30, 0, 120, 25, 3, 1280, 1024).left, 1160);
  EXPECT_EQ(CascadeRect(991, 0, 150, 30, 0, 120, 25, 3, 1280, 1024).left, 991 + 20 - 120);
}

TEST(BmpMenuGeometry, LongCascadesOfRowsEightAndTenAreLifted) {
  const int menuY = 400;
  // Row 8: 100 pixels up from the row.
  EXPECT_EQ(CascadeRect(0, menuY, 150, 30, 8, 120, 25, 8, 1280, 1024).top, menuY + 8 * 30 - 100);
  // Row 10 with 8 rows: up by 20·8 − 140; and 20 pixels wider.
  const MenuRect media = CascadeRect(0, menuY, 150, 30, 10, 120, 25, 8, 1280, 1024);
  EXPECT_EQ(media.top, menuY + 10 * 30 - (20 * 8 - 140));
  EXPECT_EQ(media.Width(), 140);
  // Row 10 with fewer than 7 rows stays beside its row.
  EXPECT_EQ(CascadeRect(0, menuY, 150, 30, 10, 120, 25, 6, 1280, 1024).top, menuY + 300);
  // Never above the screen, nor past its bottom: 8 rows of 25 end at the last line.
  EXPECT_EQ(CascadeRect(0, 0, 150, 5, 8, 120, 25, 8, 1280, 1024).top, 0);
  EXPECT_EQ(CascadeRect(0, 900, 150, 30, 3, 120, 25, 8, 1280, 1024).bottom, 1024);
  EXPECT_EQ(CascadeRect(0, 900, 150, 30, 3, 120, 25, 8, 1280, 1024).Height(), 8 * 25 + 1);
}

TEST(BmpMenuGeometry, CascadeRowsStartOnePixelDownAndAreOnePixelShort) {
  EXPECT_EQ(CascadeRowRect(0, 120, 25), (MenuRect{0, 1, 120, 25}));
  EXPECT_EQ(CascadeRowRect(3, 120, 25), (MenuRect{0, 76, 120, 100}));
  EXPECT_EQ(CascadeRect(0, 0, 150, 30, 0, 120, 25, 4, 1280, 1024).Height(), 4 * 25 + 1);
}

TEST(BmpMenuChoice, OneLevelChoiceCarriesIndexAndIdInTheHighWords) {
  // Row 2 of a menu whose ids are 1, 2, 3.
  const MenuChoice choice = RowChoice(2, 3);
  EXPECT_EQ(choice.wParam, 0x00020000u);
  EXPECT_EQ(choice.lParam, 0x00030000u);
  EXPECT_EQ(DecodeMenuChoice(choice.wParam, choice.lParam), (DecodedMenuChoice{2, 0, 3, 0}));
}

TEST(BmpMenuChoice, CascadeChoiceCarriesBothLevels) {
  // Sub-row 4 (id 21) of row 8 (id 8): the menu's internal report, then the parent's message.
  const MenuChoice report = SubMenuReport(8, 4, 21);
  EXPECT_EQ(report.wParam, (8u << 16) | 4u);
  EXPECT_EQ(report.lParam, 21u);
  const MenuChoice choice = CascadeChoice(report, 8);
  EXPECT_EQ(choice.wParam, (8u << 16) | 4u);
  EXPECT_EQ(choice.lParam, (8u << 16) | 21u);
  EXPECT_EQ(DecodeMenuChoice(choice.wParam, choice.lParam), (DecodedMenuChoice{8, 4, 8, 21}));
  // The macro cascade: row id 100, first sub-row id 100, the others library slots from 0.
  EXPECT_EQ(CascadeChoice(SubMenuReport(7, 0, 100), 100).lParam, (100u << 16) | 100u);
  EXPECT_EQ(CascadeChoice(SubMenuReport(7, 1, 0), 100).lParam, 100u << 16);
  // Only the low 16 bits of a sub-row id fit.
  EXPECT_EQ(CascadeChoice(SubMenuReport(0, 0, 0x12345), 1).lParam, (1u << 16) | 0x2345u);
}

TEST(BmpMenuRows, AMenuTakesTwentyRowsAndRefusesTheRest) {
  std::vector<tagBMPMENUINFO> rows;
  for (int i = 0; i < 21; ++i) {
    EXPECT_EQ(AddMenuRow(rows, u"row", i + 1), i < kMaxMenuRows) << i;
  }
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ(rows.back().id, 20);
  EXPECT_EQ(rows.front().hasSubItems, 0);
}

TEST(BmpMenuRows, SubRowsGoToAnExistingRowUpToTwenty) {
  std::vector<tagBMPMENUINFO> rows;
  ASSERT_TRUE(AddMenuRow(rows, u"Basic", 8));
  ASSERT_TRUE(AddMenuRow(rows, u"Macro", 100));
  EXPECT_FALSE(AddMenuSubRow(rows, 2, u"none", 1));
  EXPECT_FALSE(AddMenuSubRow(rows, -1, u"none", 1));
  for (int i = 0; i < 22; ++i) {
    EXPECT_EQ(AddMenuSubRow(rows, 1, u"m", i), i < kMaxMenuRows) << i;
  }
  EXPECT_EQ(rows[0].hasSubItems, 0);
  EXPECT_EQ(rows[1].hasSubItems, 1);
  ASSERT_EQ(rows[1].subItems.size(), 20u);
  EXPECT_EQ(rows[1].subItems[3].id, 3);
}

TEST(BmpMenuRows, HugeCaptionsAreCutToTheRecord) {
  std::vector<tagBMPMENUINFO> rows;
  const std::u16string huge(5000, u'W');
  ASSERT_TRUE(AddMenuRow(rows, huge, 1));
  ASSERT_TRUE(AddMenuSubRow(rows, 0, huge, 2));
  EXPECT_EQ(rows[0].Text(), huge.substr(0, 259));
  EXPECT_EQ(rows[0].subItems[0].Text().size(), 259u);
  ASSERT_TRUE(AddMenuRow(rows, u"", 3));
  EXPECT_TRUE(rows[1].Text().empty());
}

}  // namespace
