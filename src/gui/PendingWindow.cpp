#include "PendingWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lanereport::gui {

PendingWindow::PendingWindow(const QString& object_name, const QString& caption) {
  setObjectName(object_name);
  setWindowTitle(caption);
  auto* label = new QLabel(QString::fromUtf8("この画面はまだ用意されていません"), this);
  label->setObjectName("lblPending");
  auto* close_button = new QPushButton(QString::fromUtf8("閉じる"), this);
  close_button->setObjectName("cmdClose");
  connect(close_button, &QPushButton::clicked, this, &QWidget::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(close_button, 0, Qt::AlignRight);
  resize(360, 140);
}

void PendingWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace lanereport::gui
