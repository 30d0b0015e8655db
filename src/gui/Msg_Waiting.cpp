#include "Msg_Waiting.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>

#include "WindowControl.h"
#include "util/AppError.h"

namespace lanereport::gui {
namespace {

constexpr int kWidth = 420;
constexpr int kBarHeight = 20;
constexpr int kBarGap = 8;
constexpr int kBarSide = 16;
constexpr const char* kSource = "Msg_Waiting";
constexpr const char* kStopping = "処理を中断しています．．．";

QPointer<Msg_Waiting> instance;

void DeleteInstance() {
  delete instance.data();
}

// The whole part of numerator / denominator, rounded down also below zero; denominator > 0.
long FloorDivide(long numerator, long denominator) {
  long quotient = numerator / denominator;
  if (numerator % denominator != 0 && numerator < 0) --quotient;
  return quotient;
}

}  // namespace

ProgressPicture::ProgressPicture(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressPicture::Start(long maximum) {
  maximum_ = maximum;
  count_ = 0;
  update();
}

void ProgressPicture::Advance(long step) {
  count_ += step;
  update();
}

QString ProgressPicture::PercentText() const {
  const long percent = maximum_ > 0 ? FloorDivide(count_ * 100, maximum_) : 0;
  return QString::number(percent) + "%";
}

int ProgressPicture::FillWidth() const {
  if (maximum_ <= 0 || count_ <= 0) return 0;
  if (count_ >= maximum_) return width();
  return static_cast<int>(count_ * width() / maximum_);
}

int ProgressPicture::TextLeft() const {
  return width() / 2 - QFontMetrics(font()).horizontalAdvance("00%") / 2;
}

void ProgressPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.fillRect(QRect(0, 0, FillWidth(), height()), FillColor());
  painter.setPen(Qt::black);
  painter.drawText(QRect(TextLeft(), 0, width() - TextLeft(), height()),
                   Qt::AlignLeft | Qt::AlignVCenter, PercentText());
}

Msg_Waiting& Msg_Waiting::Instance() {
  if (!instance) {
    instance = new Msg_Waiting;
    qAddPostRoutine(DeleteInstance);
  }
  return *instance;
}

Msg_Waiting::Msg_Waiting()
    : MessageDialog(kWidth, 2 * kBarHeight + kBarGap), stop_(new QPushButton("STOP")) {
  setObjectName("Msg_Waiting");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  for (int i = 0; i < 2; ++i) {
    bars_[i] = new ProgressPicture(this);
    bars_[i]->setObjectName(QString("picProgress_%1").arg(i));
    bars_[i]->hide();
  }
  stop_->setObjectName("cmdStop");
  AddButton(stop_);
  connect(stop_, &QPushButton::clicked, this, &Msg_Waiting::Stop);
  Relayout();
}

void Msg_Waiting::Message1(std::string_view text) {
  message1_ = text;
  if (loaded_) SetLine(0, QString::fromStdString(message1_));
}

void Msg_Waiting::Message2(std::string_view text) {
  message2_ = text;
  if (loaded_) SetLine(1, QString::fromStdString(message2_));
}

void Msg_Waiting::Load() {
  if (!pre_form_) throw AppError(kErrInvalidValue, kSource, "対象formが指定されていません");
  EnableOwner(pre_form_, false);
  loaded_ = true;
  stop_flag_ = false;
  RestoreDefaultWidth();
  SetLine(0, QString::fromStdString(message1_));
  SetLine(1, QString::fromStdString(message2_));
  for (ProgressPicture* bar : bars_) bar->hide();
  stop_->setEnabled(true);
  CenterWindow(this);
  show();
  AnimateOpen(this);
}

void Msg_Waiting::Unload() {
  message1_.clear();
  message2_.clear();
  SetLine(0, QString());
  SetLine(1, QString());
  for (ProgressPicture* bar : bars_) bar->hide();
  loaded_ = false;
  stop_flag_ = false;
  hide();
  EnableOwner(pre_form_, true);
}

void Msg_Waiting::StartProgress(int bar, long maximum) {
  ProgressPicture* picture = CheckedBar(bar);
  picture->Start(maximum);
  picture->show();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Msg_Waiting::CountProgress(int bar, long step) {
  CheckedBar(bar)->Advance(step);
  // The run goes on on this thread: this is where the window paints and STOP gets pressed.
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

ProgressPicture* Msg_Waiting::CheckedBar(int bar) const {
  if (bar != 0 && bar != 1) {
    throw AppError(kErrInvalidValue, kSource,
                   "プログレスバーの番号が正しくありません：" + std::to_string(bar));
  }
  return bars_[bar];
}

void Msg_Waiting::LayoutBody(int width, int top) {
  for (int i = 0; i < 2; ++i) {
    bars_[i]->setGeometry(kBarSide, top + i * (kBarHeight + kBarGap), width - 2 * kBarSide,
                          kBarHeight);
  }
}

void Msg_Waiting::closeEvent(QCloseEvent* event) {
  event->ignore();
}

void Msg_Waiting::Stop() {
  stop_flag_ = true;
  message1_.clear();
  message2_ = kStopping;
  SetLine(0, QString());
  SetLine(1, QString::fromUtf8(kStopping));
  stop_->setEnabled(false);
}

}  // namespace lanereport::gui
