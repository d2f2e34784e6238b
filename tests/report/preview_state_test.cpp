// The preview's state: titles, empty cells, Next and Previous, the zoom
// popup, and where pages are laid out.
#include <gtest/gtest.h>

#include "runtime/report/preview_layout.h"
#include "runtime/report/preview_state.h"

namespace vrt::report {
namespace {

PreviewState grid(int total, int first, int across, int down) {
  PreviewState s(total);
  s.set_grid(across, down);
  s.go_to(first);
  return s;
}

TEST(PreviewTitle, OnePageAndSeveralPages) {
  EXPECT_EQ(PreviewState(1).title(), "Page 1 of 1");
  EXPECT_EQ(grid(10, 3, 1, 1).title(), "Page 3 of 10");
  EXPECT_EQ(grid(10, 1, 2, 2).title(), "Pages 1-4 of 10");
  EXPECT_EQ(grid(10, 9, 2, 2).title(), "Pages 9-10 of 10");
  EXPECT_EQ(grid(10, 10, 2, 2).title(), "Page 10 of 10") << "several cells from the last page";
  EXPECT_EQ(grid(1, 1, 3, 1).title(), "Page 1 of 1");
}

TEST(PreviewTitle, ZoomStatesNameTheZoom) {
  const char* titles[] = {"Zoom (Page Width)", "Zoom (50%)", "Zoom (75%)", "Zoom (100%)", "Zoom (200%)",
                          "Zoom (300%)"};
  PreviewState s = grid(10, 4, 2, 2);
  for (int i = 0; i < 6; ++i) {
    s.set_zoom(static_cast<Zoom>(i + 1));
    EXPECT_EQ(s.title(), titles[i]);
    EXPECT_EQ(s.shown(), 1) << "a zoomed page is shown alone";
  }
  s.set_zoom(Zoom::None);
  EXPECT_EQ(s.title(), "Pages 4-7 of 10");
}

TEST(PreviewCells, CellsPastTheLastPageAreEmpty) {
  PreviewState s = grid(10, 9, 2, 2);
  EXPECT_EQ(s.page_in_cell(0), 9);
  EXPECT_EQ(s.page_in_cell(1), 10);
  EXPECT_EQ(s.page_in_cell(2), 0);
  EXPECT_EQ(s.page_in_cell(3), 0);
  EXPECT_EQ(s.page_in_cell(4), 0) << "no fifth cell";
}

TEST(PreviewPaging, NextAndPreviousByTheCellsShown) {
  PreviewState s = grid(10, 1, 2, 2);
  EXPECT_FALSE(s.can_go_previous());
  EXPECT_TRUE(s.can_go_next());
  s.next();
  EXPECT_EQ(s.first(), 5);
  s.next();
  EXPECT_EQ(s.first(), 9);
  EXPECT_FALSE(s.can_go_next()) << "no pages after 9 and 10";
  s.next();
  EXPECT_EQ(s.first(), 9);
  s.go_to(3);
  s.previous();
  EXPECT_EQ(s.first(), 1) << "never before the first page";
  PreviewState one(1);
  EXPECT_FALSE(one.can_go_next() || one.can_go_previous());
}

TEST(PreviewPaging, PagesAndGridStayInRange) {
  PreviewState s(10);
  s.go_to(0);
  EXPECT_EQ(s.first(), 1);
  s.go_to(11);
  EXPECT_EQ(s.first(), 10);
  s.set_zoom(Zoom::Percent75);
  s.set_grid(0, 150);
  EXPECT_EQ(s.across(), 1);
  EXPECT_EQ(s.down(), 99);
  EXPECT_EQ(s.zoom(), Zoom::None) << "choosing thumbnails ends the zoom";
}

TEST(PreviewZoomPopup, TheCurrentStateIsCheckedAndSeparatorsAreNotCounted) {
  PreviewState s(3);
  EXPECT_EQ(s.zoom_popup(), "+No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|-300%");
  s.choose_zoom(2);
  EXPECT_EQ(s.zoom(), Zoom::PageWidth);
  EXPECT_EQ(s.zoom_popup(), "-No Zoom|-|+Page Width|-50%|-75%|-100%|-200%|-300%");
  s.choose_zoom(7);
  EXPECT_EQ(s.zoom(), Zoom::Percent300);
  EXPECT_EQ(s.zoom_popup(), "-No Zoom|-|-Page Width|-50%|-75%|-100%|-200%|+300%") << "the last item keeps its %";
  s.choose_zoom(0);
  EXPECT_EQ(s.zoom(), Zoom::Percent300) << "no choice changes nothing";
  s.choose_zoom(8);
  EXPECT_EQ(s.zoom(), Zoom::Percent300);
  s.choose_zoom(1);
  EXPECT_EQ(s.zoom(), Zoom::None);
}

TEST(PreviewLayout, CellsKeepTheSheetsProportionsInsideTheArea) {
  platform::RECT area{0, 0, 800, 600};
  auto rects = page_rects(grid(10, 1, 3, 2), area, SheetSize{8.5, 11});
  ASSERT_EQ(rects.size(), 6u);
  for (const platform::RECT& r : rects) {
    EXPECT_NEAR(double(r.width()) / r.height(), 8.5 / 11, 0.02);
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, 800);
    EXPECT_LE(r.bottom, 600);
  }
  EXPECT_LT(rects[0].right, rects[1].left) << "side by side";
  EXPECT_LT(rects[0].bottom, rects[3].top) << "rows";
}

TEST(PreviewLayout, ZoomedPagesTakeTheWidthOrTheirRealSize) {
  platform::RECT area{0, 0, 800, 600};
  PreviewState s(2);
  s.set_zoom(Zoom::PageWidth);
  auto width = page_rects(s, area, SheetSize{8.5, 11});
  ASSERT_EQ(width.size(), 1u);
  EXPECT_EQ(width[0].width(), 800 - 2 * kPreviewMargin);
  s.set_zoom(Zoom::Percent100);
  EXPECT_EQ(page_rects(s, area, SheetSize{8.5, 11})[0].width(), 816);  // 8.5 inches at 96
  s.set_zoom(Zoom::Percent50);
  EXPECT_EQ(page_rects(s, area, SheetSize{8.5, 11})[0].width(), 408);
}

}  // namespace
}  // namespace vrt::report
