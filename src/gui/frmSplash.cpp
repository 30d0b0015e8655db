#include "frmSplash.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QVBoxLayout>

#include "WindowControl.h"
#include "WindowStart.h"

namespace lanereport::gui {

frmSplash::frmSplash(WindowStart& start) : start_(start), timer_(new QTimer(this)) {
  setObjectName("frmSplash");
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(420, 240);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0x10, 0x2a, 0x5c));
  setPalette(colours);

  auto* product = new QLabel("Lanereport", this);
  product->setObjectName("lblProductName");
  QFont big = product->font();
  big.setPointSize(28);
  big.setBold(true);
  product->setFont(big);
  product->setAlignment(Qt::AlignCenter);
  auto* version =
      new QLabel(QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ ") + QString::fromStdString(start.gstrVersion()), this);
  version->setObjectName("lblVersion");
  version->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->addStretch();
  layout->addWidget(product);
  layout->addWidget(version);
  layout->addStretch();

  timer_->setObjectName("tmrSplash");
  timer_->setSingleShot(true);
  timer_->setInterval(2000);
  connect(timer_, &QTimer::timeout, this, [this] {
    if (done_) return;
    done_ = true;
    // The chooser and the import questions come up on their own, not over a splash that no
    // longer paints while they run.
    hide();
    start_.SelectDataBase();
    close();
    emit Closed(true);
  });
  timer_->start();
  CenterWindow(this);
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
  event->accept();
  EndEarly();
}

void frmSplash::mousePressEvent(QMouseEvent* event) {
  event->accept();
  EndEarly();
}

void frmSplash::EndEarly() {
  if (done_) return;
  done_ = true;
  timer_->stop();
  start_.SplashClosed();
  close();
  emit Closed(false);
}

}  // namespace lanereport::gui
