#include "frmDOMenu.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "WindowStart.h"

namespace lanereport::gui {

frmDOMenu::frmDOMenu(WindowStart& start) {
  setObjectName("frmDOMenu");
  setWindowTitle(QString::fromUtf8("出力処理"));
  auto* frame = new QGroupBox(QString::fromUtf8("出力処理"), this);
  frame->setObjectName("fraMenu");
  auto* buttons = new QHBoxLayout(frame);
  const char* captions[] = {"Score", "Bowler", "Entry", "Master"};
  const char* tips[] = {"ｽｺｱ表HTML作成", "Bowler紹介HTML作成", "スコア入力", "マスタ登録"};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QPushButton(QString::fromUtf8(captions[i]), frame);
    button->setObjectName(QString("cmdButton_%1").arg(i));
    button->setToolTip(QString::fromUtf8(tips[i]));
    button->setMinimumSize(120, 48);
    connect(button, &QPushButton::clicked, this, [&start, i] { start.MenuButton(i); });
    buttons->addWidget(button);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
}

void frmDOMenu::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The menu is used from the keyboard too: a button has the focus from the start, with its
  // focus ring showing, and Enter or Space presses it.
  setAttribute(Qt::WA_KeyboardFocusChange);
  if (!focusWidget()) findChild<QPushButton*>("cmdButton_0")->setFocus(Qt::OtherFocusReason);
}

void frmDOMenu::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace lanereport::gui
