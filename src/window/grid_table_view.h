// A table view that draws its grid as filled rectangles one pixel wide.
// QTableView draws the grid with a pen, which the raster engine lays down a
// pixel at a time; a filled rectangle is written a row of pixels at once. On
// a saturated bus, with the history and the Anlage open and redrawn every
// second, the pen's grid was a ninth of the window's instructions. The grid
// looks the same: the style's grid colour, the last pixel row and column of
// each cell. Only a solid grid is drawn (the one every table here has).
#pragma once

#include <QTableView>

namespace bl {

class GridTableView : public QTableView {
public:
    explicit GridTableView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paint_grid(const QRect &dirty);
};

} // namespace bl
