#include "Msg_YesNo.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "WindowControl.h"

namespace lanereport::gui {
namespace {

constexpr int kWidth = 400;

QPointer<Msg_YesNo> instance;

void DeleteInstance() {
  delete instance.data();
}

}  // namespace

Msg_YesNo& Msg_YesNo::Instance() {
  if (!instance) {
    instance = new Msg_YesNo;
    qAddPostRoutine(DeleteInstance);
  }
  return *instance;
}

Msg_YesNo::Msg_YesNo()
    : MessageDialog(kWidth, 0),
      ok_(new QPushButton("OK")),
      cancel_(new QPushButton(QString::fromUtf8("キャンセル"))),
      timer_(new QTimer(this)) {
  setObjectName("Msg_YesNo");
  setWindowModality(Qt::ApplicationModal);
  ok_->setObjectName("cmdOK");
  ok_->setDefault(true);
  cancel_->setObjectName("cmdCancel");
  AddButton(ok_);
  AddButton(cancel_);
  connect(ok_, &QPushButton::clicked, this, [this] { Answer(true); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Answer(false); });
  timer_->setObjectName("tmrClose");
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, [this] { Answer(false); });
  Relayout();
}

int Msg_YesNo::Show() {
  yes_no_ = false;
  return RunMessage(message1_, message2_, color_, timer_milliseconds_, timer_, ok_);
}

void Msg_YesNo::reject() {
  Answer(false);
}

void Msg_YesNo::Answer(bool yes) {
  timer_->stop();
  yes_no_ = yes;
  SetButtonsVisible(false);
  if (yes) {
    accept();
  } else {
    QDialog::reject();
  }
}

}  // namespace lanereport::gui
