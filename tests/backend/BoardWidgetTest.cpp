#include <gtest/gtest.h>

#include "platform/gtk/BoardWidget.h"
#include "platform/gtk/GtkInit.h"
#include "tests/backend/BackendTestSupport.h"

namespace lumora::gtk {
namespace {

using namespace lumora::testing;

struct CountingPainter : BoardPainter {
  void PaintBoard(cairo_t*, int, int) override { ++paints; }
  int paints = 0;
};

// A playing video redraws its view many times a second: the surfaces under it stay unpainted.
TEST(BoardWidgetTest, BoardsUnderAnOpaqueChildPaintOnlyWhatItLeavesUncovered) {
  RequireGtk();
  CountingPainter outer;
  CountingPainter inner;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 300, 200);
  GtkWidget* board = BoardNew(&outer);
  gtk_container_add(GTK_CONTAINER(window), board);
  GtkWidget* frame = BoardNew(&inner);
  BoardPut(board, frame, {20, 20, 200, 150});
  GtkWidget* view = gtk_drawing_area_new();
  BoardPut(frame, view, {-2, -2, 204, 154});
  BoardMarkOpaque(view);
  gtk_widget_show_all(window);
  ASSERT_TRUE(Settle(window));

  struct Case {
    bool viewShown;
    GtkWidget* damaged;
    int outerPaints;
    int innerPaints;
  };
  // The board's damage reaches past the frame; inside the frame the view covers it.
  for (auto [viewShown, damaged, outerPaints, innerPaints] :
       {Case{true, view, 0, 0}, Case{true, board, 1, 0}, Case{false, frame, 1, 1}}) {
    gtk_widget_set_visible(view, viewShown);
    ASSERT_TRUE(Settle(window));
    outer.paints = inner.paints = 0;
    gtk_widget_queue_draw_area(damaged, 0, 0, 100, 100);
    ASSERT_TRUE(Settle(window));
    EXPECT_EQ(outer.paints, outerPaints);
    EXPECT_EQ(inner.paints, innerPaints);
  }
  gtk_widget_destroy(window);
}

}  // namespace
}  // namespace lumora::gtk
