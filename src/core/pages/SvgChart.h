#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/PageText.h"

namespace lanereport {

// A small chart drawn as inline SVG, for pages that must read offline and without script: a
// row of categories along the bottom, a value axis on the left with grid lines, and series
// drawn as bars (side by side within a category) or as a line of points. Every bar and point
// carries its figure in a <title> child ("3月 AVG: 172.5"), which a browser shows on hover and
// which says the same as the table a page puts beneath the chart. The element is well-formed
// XML whatever the texts hold. What a page puts in must be text that code page 932 holds: a
// chart is read where the page is, as code page 932.

struct ChartSeries {
  std::string name;    // the legend text and the middle of every title
  std::string colour;  // a CSS colour ("#cc0000")
  bool line = false;   // a line of points instead of bars
  // One value per category; nothing leaves the category without bar or point (a gap in the
  // line). Values outside the axis are drawn at its end.
  std::vector<std::optional<double>> values;
  // The figure of each value as the page's table writes it ("172.5", "32.5%").
  std::vector<std::string> figures;
};

struct ChartSpec {
  std::string title;                    // the SVG's <title> and its aria-label
  std::vector<std::string> categories;  // the categories as the titles name them
  std::vector<std::string> labels;      // shown along the bottom; the categories when empty
  std::vector<std::string> notes;       // a second label line under each category (may be empty)
  double axis_min = 0;
  double axis_max = 100;
  double axis_step = 10;  // a grid line and a label at every step from axis_min
  std::string axis_unit;  // after every axis label ("%")
  std::vector<ChartSeries> series;
  int width = 720;
  int height = 260;
};

// Appends the <svg> element of the chart, its first line at indent and its children deeper.
void AppendSvgChart(PageText& page, int indent, const ChartSpec& chart);

// The value axis of a chart of values from low to high: the limits widened to whole steps of
// 1, 2, 5, 10, 20, 25, 50 or 100 (or more) so that at most six steps cover them, kept within
// floor and ceiling. The top is at least one step above the bottom.
struct ValueAxis {
  double min = 0;
  double max = 0;
  double step = 1;
};
ValueAxis FitValueAxis(double low, double high, double floor, double ceiling);

}  // namespace lanereport
