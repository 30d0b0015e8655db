#include "MessageDialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

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

}  // namespace

MessageDialog::MessageDialog(int default_width, int body_height)
    : QDialog(nullptr),
      default_width_(default_width),
      body_height_(body_height),
      width_(default_width) {
  setWindowTitle("Lanereport");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (int i = 0; i < 2; ++i) {
    lines_[i] = new QLabel(this);
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
  if (line_width >= width_) width_ = line_width + kLineMargin;
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
  const int line_height = QFontMetrics(lines_[0]->font()).height() + 6;
  int top = kTopPadding;
  for (QLabel* line : lines_) {
    line->setGeometry(0, top, width_, line_height);
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
