#include "pages/SvgChart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "util/Cp932.h"
#include "util/Markup.h"
#include "util/NumberFormat.h"

namespace lanereport {
namespace {

// The room around the plot: the legend above, the axis labels left, the category
// labels below.
constexpr double kLeft = 52;
constexpr double kRight = 16;
constexpr double kTop = 32;
constexpr double kBottomOneLine = 28;
constexpr double kBottomTwoLines = 42;
// More categories than this get every second (third, …) label only.
constexpr std::size_t kMostLabels = 16;

// A coordinate or an axis value: one decimal at most, "-0" never.
std::string Num(double value) {
  if (std::fabs(value) < 0.05) value = 0;
  std::string text = FixedText(value, 1);
  if (text.ends_with(".0")) text.resize(text.size() - 2);
  return text;
}

std::string Attr(std::string_view name, const std::string& value) {
  return " " + std::string(name) + "=\"" + value + "\"";
}

// The plot area and the mapping of values to heights.
struct Plot {
  double left, top, width, height, min, max;
  std::size_t slots;

  double Y(double value) const {
    double v = std::clamp(value, min, max);
    return top + height * (max - v) / (max - min);
  }
  double Bottom() const { return top + height; }
  double Slot() const { return width / static_cast<double>(std::max<std::size_t>(slots, 1)); }
  double Centre(std::size_t i) const { return left + Slot() * (static_cast<double>(i) + 0.5); }
};

std::string FigureTitle(const ChartSpec& chart, const ChartSeries& series, std::size_t i) {
  std::string category = i < chart.categories.size() ? chart.categories[i] : "";
  std::string figure = i < series.figures.size() ? series.figures[i] : "";
  return HtmlAttr(category + " " + series.name + ": " + figure);
}

void AppendAxes(PageText& page, int indent, const ChartSpec& chart, const Plot& plot) {
  double step = chart.axis_step > 0 ? chart.axis_step : plot.max - plot.min;
  // The grid: a line and a label at every step; a small tolerance keeps the top line.
  for (double v = plot.min; v <= plot.max + step * 1e-6; v += step) {
    std::string y = Num(plot.Y(v));
    page.Line(indent, "<line" + Attr("x1", Num(plot.left)) + Attr("y1", y) +
                          Attr("x2", Num(plot.left + plot.width)) + Attr("y2", y) +
                          Attr("stroke", "#d0d0d0") + "/>");
    page.Line(indent, "<text" + Attr("x", Num(plot.left - 4)) + Attr("y", Num(plot.Y(v) + 4)) +
                          Attr("text-anchor", "end") + Attr("font-size", "10") + ">" + Num(v) +
                          HtmlAttr(chart.axis_unit) + "</text>");
  }
  std::string bottom = Num(plot.Bottom());
  page.Line(indent, "<line" + Attr("x1", Num(plot.left)) + Attr("y1", Num(plot.top)) +
                        Attr("x2", Num(plot.left)) + Attr("y2", bottom) +
                        Attr("stroke", "#000000") + "/>");
  page.Line(indent, "<line" + Attr("x1", Num(plot.left)) + Attr("y1", bottom) +
                        Attr("x2", Num(plot.left + plot.width)) + Attr("y2", bottom) +
                        Attr("stroke", "#000000") + "/>");
  const std::vector<std::string>& labels = chart.labels.empty() ? chart.categories : chart.labels;
  std::size_t every = std::max<std::size_t>((labels.size() + kMostLabels - 1) / kMostLabels, 1);
  for (std::size_t i = 0; i < labels.size() && i < plot.slots; ++i) {
    if (i % every != 0) continue;
    std::string x = Num(plot.Centre(i));
    page.Line(indent, "<text" + Attr("x", x) + Attr("y", Num(plot.Bottom() + 14)) +
                          Attr("text-anchor", "middle") + Attr("font-size", "10") + ">" +
                          HtmlAttr(labels[i]) + "</text>");
    if (i < chart.notes.size() && !chart.notes[i].empty()) {
      page.Line(indent, "<text" + Attr("x", x) + Attr("y", Num(plot.Bottom() + 28)) +
                            Attr("text-anchor", "middle") + Attr("font-size", "10") +
                            Attr("fill", "#555555") + ">" + HtmlAttr(chart.notes[i]) + "</text>");
    }
  }
}

void AppendBars(PageText& page, int indent, const ChartSpec& chart, const Plot& plot) {
  std::size_t bar_series = static_cast<std::size_t>(std::count_if(
      chart.series.begin(), chart.series.end(), [](const ChartSeries& s) { return !s.line; }));
  if (bar_series == 0) return;
  // The bars of a category fill 80 % of its slot, side by side in series order.
  double group = plot.Slot() * 0.8;
  double bar = group / static_cast<double>(bar_series);
  std::size_t k = 0;
  for (const ChartSeries& series : chart.series) {
    if (series.line) continue;
    for (std::size_t i = 0; i < series.values.size() && i < plot.slots; ++i) {
      if (!series.values[i]) continue;
      double x = plot.left + plot.Slot() * static_cast<double>(i) + plot.Slot() * 0.1 +
                 bar * static_cast<double>(k);
      double y = plot.Y(*series.values[i]);
      page.Line(indent, "<rect" + Attr("class", "bar") + Attr("x", Num(x)) + Attr("y", Num(y)) +
                            Attr("width", Num(bar)) + Attr("height", Num(plot.Bottom() - y)) +
                            Attr("fill", series.colour) + ">");
      page.Line(indent + 4, "<title>" + FigureTitle(chart, series, i) + "</title>");
      page.Line(indent, "</rect>");
    }
    ++k;
  }
}

void AppendLines(PageText& page, int indent, const ChartSpec& chart, const Plot& plot) {
  for (const ChartSeries& series : chart.series) {
    if (!series.line) continue;
    // The line goes on across a category without a value, dashed, and is solid along every
    // run of categories with values.
    std::string all_points;
    for (std::size_t i = 0; i < series.values.size() && i < plot.slots; ++i) {
      if (!series.values[i]) continue;
      if (!all_points.empty()) all_points += " ";
      all_points += Num(plot.Centre(i)) + "," + Num(plot.Y(*series.values[i]));
    }
    if (all_points.find(' ') != std::string::npos) {
      page.Line(indent, "<polyline" + Attr("points", all_points) + Attr("fill", "none") +
                            Attr("stroke", series.colour) + Attr("stroke-width", "1") +
                            Attr("stroke-dasharray", "4 3") + "/>");
    }
    std::string points;
    auto flush = [&] {
      if (points.find(' ') != std::string::npos) {
        page.Line(indent, "<polyline" + Attr("points", points) + Attr("fill", "none") +
                              Attr("stroke", series.colour) + Attr("stroke-width", "2") + "/>");
      }
      points.clear();
    };
    for (std::size_t i = 0; i < series.values.size() && i < plot.slots; ++i) {
      if (!series.values[i]) {
        flush();
        continue;
      }
      if (!points.empty()) points += " ";
      points += Num(plot.Centre(i)) + "," + Num(plot.Y(*series.values[i]));
    }
    flush();
    for (std::size_t i = 0; i < series.values.size() && i < plot.slots; ++i) {
      if (!series.values[i]) continue;
      page.Line(indent, "<circle" + Attr("class", "point") + Attr("cx", Num(plot.Centre(i))) +
                            Attr("cy", Num(plot.Y(*series.values[i]))) + Attr("r", "4") +
                            Attr("fill", series.colour) + ">");
      page.Line(indent + 4, "<title>" + FigureTitle(chart, series, i) + "</title>");
      page.Line(indent, "</circle>");
    }
  }
}

void AppendLegend(PageText& page, int indent, const ChartSpec& chart) {
  // Right-aligned above the plot; a text is about 6 pixels per byte of code page 932.
  double x = chart.width - kRight;
  for (auto it = chart.series.rbegin(); it != chart.series.rend(); ++it) {
    double text_width = 6.0 * static_cast<double>(ByteLength(it->name));
    x -= text_width + 18;
    page.Line(indent, "<rect" + Attr("x", Num(x)) + Attr("y", "11") + Attr("width", "10") +
                          Attr("height", "10") + Attr("fill", it->colour) + "/>");
    page.Line(indent, "<text" + Attr("x", Num(x + 13)) + Attr("y", "20") + Attr("font-size", "11") +
                          ">" + HtmlAttr(it->name) + "</text>");
    x -= 8;
  }
}

}  // namespace

ValueAxis FitValueAxis(double low, double high, double floor, double ceiling) {
  if (high < low) std::swap(low, high);
  low = std::max(low, floor);
  high = std::min(high, ceiling);
  ValueAxis axis;
  for (double scale = 1;; scale *= 10) {
    for (double step : {1.0, 2.0, 2.5, 5.0}) {
      if (step == 2.5 && scale == 1) continue;  // 2.5 only as 25, 250, …
      double s = step * scale;
      double bottom = std::max(floor, std::floor(low / s) * s);
      double top = std::min(ceiling, std::ceil(high / s) * s);
      if (top <= bottom) top = bottom + s;
      if ((top - bottom) / s <= 6 + 1e-9) {
        axis.min = bottom;
        axis.max = top;
        axis.step = s;
        return axis;
      }
    }
  }
}

void AppendSvgChart(PageText& page, int indent, const ChartSpec& chart) {
  double bottom = chart.notes.empty() ? kBottomOneLine : kBottomTwoLines;
  Plot plot{kLeft,
            kTop,
            chart.width - kLeft - kRight,
            chart.height - kTop - bottom,
            chart.axis_min,
            chart.axis_max > chart.axis_min ? chart.axis_max : chart.axis_min + 1,
            chart.categories.size()};
  std::string width = std::to_string(chart.width);
  std::string height = std::to_string(chart.height);
  std::string title = HtmlAttr(chart.title);
  page.Line(indent, "<svg" + Attr("xmlns", "http://www.w3.org/2000/svg") + Attr("width", width) +
                        Attr("height", height) + Attr("viewBox", "0 0 " + width + " " + height) +
                        Attr("role", "img") + Attr("aria-label", title) +
                        Attr("font-family", "sans-serif") + ">");
  int inner = indent + 4;
  page.Line(inner, "<title>" + title + "</title>");
  page.Line(inner, "<rect" + Attr("x", "0.5") + Attr("y", "0.5") +
                       Attr("width", Num(chart.width - 1)) + Attr("height", Num(chart.height - 1)) +
                       Attr("fill", "#ffffff") + Attr("stroke", "#c0c0c0") + "/>");
  AppendAxes(page, inner, chart, plot);
  AppendBars(page, inner, chart, plot);
  AppendLines(page, inner, chart, plot);
  AppendLegend(page, inner, chart);
  page.Line(indent, "</svg>");
}

}  // namespace lanereport
