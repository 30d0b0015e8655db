#include "MessageDialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>
#include <QTimer>
#include <cmath>

#include "WindowControl.h"

namespace lanereport::gui {
namespace {

constexpr int kTopPadding = 18;
constexpr int kLineGap = 6;
constexpr int kBodyGap = 12;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 16;
constexpr int kBottomPadding = 14;
// The room above and below a line's text.
constexpr int kLinePadding = 3;

// A message line: its text centred, broken into several rows where it is wider than the line,
// at a word boundary when it has one and anywhere else otherwise (a long path has none).
class MessageLine : public QLabel {
 public:
  explicit MessageLine(QWidget* parent) : QLabel(parent) {}

  // The height the text takes at width, its padding included.
  int HeightFor(int width) const {
    qreal height = 0;
    ForEachRow(width, [&height](QTextLine& row) { height += row.height(); });
    return static_cast<int>(std::ceil(height)) + 2 * kLinePadding;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextLayout layout(text(), font());
    qreal height = Layout(layout, width());
    layout.draw(&painter, QPointF(0, (this->height() - height) / 2));
  }

 private:
  // Lays text out in rows of width; returns the height of all rows.
  qreal Layout(QTextLayout& layout, int width) const {
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
      row.setLineWidth(width);
      row.setPosition(QPointF(0, height));
      height += row.height();
    }
    layout.endLayout();
    return std::max(height, static_cast<qreal>(QFontMetrics(font()).height()));
  }

  template <class F>
  void ForEachRow(int width, F&& f) const {
    QTextLayout layout(text(), font());
    Layout(layout, width);
    for (int i = 0; i < layout.lineCount(); ++i) {
      QTextLine row = layout.lineAt(i);
      f(row);
    }
    if (layout.lineCount() == 0) {
      // An empty line keeps the height of one row.
      QTextLayout empty(" ", font());
      Layout(empty, width);
      QTextLine row = empty.lineAt(0);
      f(row);
    }
  }
};

}  // namespace

int MessageDialog::MaxWidth() const {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const int available = screen ? screen->availableGeometry().width() - 2 * kLineMargin : kMaxWidth;
  return std::max(default_width_, std::min(kMaxWidth, available));
}

MessageDialog::MessageDialog(int default_width, int body_height)
    : QDialog(nullptr),
      default_width_(default_width),
      body_height_(body_height),
      width_(default_width) {
  setWindowTitle("Lanereport");
  DialogFrame(this);
  for (int i = 0; i < 2; ++i) {
    lines_[i] = new MessageLine(this);
    lines_[i]->setObjectName(QString("lblMessage_%1").arg(i));
    lines_[i]->setTextFormat(Qt::PlainText);
    lines_[i]->setAlignment(Qt::AlignCenter);
  }
  line_palette_ = lines_[0]->palette();
}

void MessageDialog::SetLine(int index, const QString& text) {
  QLabel* line = lines_[index];
  line->setText(text);
  const int line_width = QFontMetrics(line->font()).horizontalAdvance(text);
  if (line_width > width_ - kLineMargin) width_ = std::min(line_width + kLineMargin, MaxWidth());
  Relayout();
}

void MessageDialog::SetLineColor(long bgr) {
  for (QLabel* line : lines_) {
    if (bgr == 0) {
      line->setPalette(line_palette_);
    } else {
      QPalette palette = line_palette_;
      palette.setColor(QPalette::WindowText, BgrColor(bgr));
      line->setPalette(palette);
    }
  }
}

void MessageDialog::AddButton(QPushButton* button) {
  button->setParent(this);
  buttons_.push_back(button);
}

void MessageDialog::SetButtonsVisible(bool visible) {
  for (QPushButton* button : buttons_) button->setVisible(visible);
}

void MessageDialog::RestoreDefaultWidth() {
  width_ = default_width_;
  Relayout();
}

void MessageDialog::LayoutBody(int, int) {}

void MessageDialog::Relayout() {
  const int text_width = width_ - kLineMargin;
  int top = kTopPadding;
  for (QLabel* line : lines_) {
    const int line_height = static_cast<MessageLine*>(line)->HeightFor(text_width);
    line->setGeometry(kLineMargin / 2, top, text_width, line_height);
    top += line_height + kLineGap;
  }
  top += kBodyGap - kLineGap;
  if (body_height_ > 0) {
    LayoutBody(width_, top);
    top += body_height_ + kBodyGap;
  }
  const int count = static_cast<int>(buttons_.size());
  const int row_width = count * kButtonWidth + (count > 0 ? (count - 1) * kButtonGap : 0);
  int left = (width_ - row_width) / 2;
  for (QPushButton* button : buttons_) {
    button->setGeometry(left, top, kButtonWidth, kButtonHeight);
    left += kButtonWidth + kButtonGap;
  }
  setFixedSize(width_, top + kButtonHeight + kBottomPadding);
}

int MessageDialog::RunMessage(std::string& message1, std::string& message2, long color,
                              int timer_milliseconds, QTimer* timer, QPushButton* focus) {
  RestoreDefaultWidth();
  SetLine(0, QString::fromStdString(message1));
  SetLine(1, QString::fromStdString(message2));
  SetLineColor(color);
  timer->stop();
  if (timer_milliseconds != 0) {
    timer->setInterval(timer_milliseconds);
    timer->start();
  }
  SetButtonsVisible(true);
  focus->setFocus();
  CenterWindow(this);
  show();
  AnimateOpen(this);
  QApplication::beep();
  const int result = exec();
  timer->stop();
  message1.clear();
  message2.clear();
  SetLine(0, QString());
  SetLine(1, QString());
  return result;
}

}  // namespace lanereport::gui
