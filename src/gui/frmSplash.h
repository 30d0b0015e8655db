#pragma once

#include <QTimer>
#include <QWidget>

namespace lanereport::gui {

class WindowStart;

// The splash: the product and version labels, centred on the screen. After two seconds its
// timer asks for the database (WindowStart::SelectDataBase) and the splash closes; a key press
// or a click closes it at once and nothing more happens.
class frmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit frmSplash(WindowStart& start);

 signals:
  // The splash has closed; timed_out tells whether its timer ran out first.
  void Closed(bool timed_out);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void EndEarly();

  WindowStart& start_;
  QTimer* timer_;
  bool done_ = false;
};

}  // namespace lanereport::gui
