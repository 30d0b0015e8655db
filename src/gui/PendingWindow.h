#pragma once

#include <QWidget>
#include <string>

namespace lanereport::gui {

// Stands for a work window that this version does not have yet: its caption and a line saying
// so. Closing it returns like closing the work window would.
class PendingWindow : public QWidget {
  Q_OBJECT

 public:
  PendingWindow(const QString& object_name, const QString& caption);

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace lanereport::gui
