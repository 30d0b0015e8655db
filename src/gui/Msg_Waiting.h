#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

#include "MessageDialog.h"
#include "ui/ProgressWindow.h"

class QPushButton;

namespace lanereport::gui {

// One progress bar of Msg_Waiting (picProgress_0, picProgress_1): a white box that fills with
// yellow from the left as the count goes towards the maximum, with the percentage written from
// a little left of its middle.
class ProgressPicture : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressPicture(QWidget* parent);

  // Empties the bar and gives it a new maximum.
  void Start(long maximum);
  // Adds step to the count and repaints.
  void Advance(long step);

  long Maximum() const { return maximum_; }
  long Count() const { return count_; }
  // The whole part of count / maximum × 100 followed by "%": "150%" for a count of one and a
  // half times the maximum. "0%" while the maximum is 0 or less.
  QString PercentText() const;
  // The width of the yellow part: count / maximum of the bar's width, at most the whole width
  // and nothing while the maximum is 0 or less.
  int FillWidth() const;
  // Where the percentage starts: half the bar's width less a little, so that a two-digit
  // percentage sits about in the middle.
  int TextLeft() const;

  static QColor FillColor() { return QColor(255, 255, 0); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  long maximum_ = 0;
  long count_ = 0;
};

// The progress window of a long run: two lines, two bars (0 and 1) and STOP (cmdStop). While it
// is loaded its owner window (PreForm) is disabled; each step of a bar lets pending input be
// handled, so STOP can be pressed during the run, which runs on this same thread. The program
// keeps one instance; PreForm keeps its value from one run to the next, the texts and the STOP
// request are cleared when the window is unloaded.
class Msg_Waiting : public MessageDialog, public ProgressWindow {
  Q_OBJECT

 public:
  // The one window, made on first use without a parent and deleted when the application object
  // goes. Needs the application object.
  static Msg_Waiting& Instance();

  // The window that owns the run; required before Load. The window is not owned and may go
  // away; then it counts as not set.
  void PreForm(QWidget* form) { pre_form_ = form; }
  QWidget* PreForm() const { return pre_form_; }

  // Texts (UTF-8) of line 1 and line 2, shown at once when the window is loaded.
  void Message1(std::string_view text) override;
  void Message2(std::string_view text) override;

  // Shows the window modelessly, centred, with both bars hidden and STOP enabled, and disables
  // PreForm. Raises AppError (kErrInvalidValue, source "Msg_Waiting") with
  // "対象formが指定されていません" when PreForm is not set.
  void Load();
  // Hides the window, clears both texts and the STOP request, hides both bars and enables
  // PreForm again.
  void Unload();
  bool Loaded() const { return loaded_; }

  // Bar 0 or 1; any other number raises AppError (kErrInvalidValue, source "Msg_Waiting").
  void StartProgress(int bar, long maximum) override;
  void CountProgress(int bar, long step) override;
  // True once STOP was pressed, until the window is unloaded or loaded again.
  bool StopFlag() const override { return stop_flag_; }

  ProgressPicture* Bar(int index) const { return bars_[index]; }

  // Neither Escape nor the window system closes the window; the run unloads it.
  void reject() override {}

 protected:
  void LayoutBody(int width, int top) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Msg_Waiting();
  ProgressPicture* CheckedBar(int bar) const;
  void Stop();

  QPointer<QWidget> pre_form_;
  std::string message1_;
  std::string message2_;
  bool stop_flag_ = false;
  bool loaded_ = false;
  ProgressPicture* bars_[2];
  QPushButton* stop_;
};

}  // namespace lanereport::gui
