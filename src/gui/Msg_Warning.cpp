#include "Msg_Warning.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "WindowControl.h"

namespace lanereport::gui {
namespace {

constexpr int kWidth = 360;

QPointer<Msg_Warning> instance;

void DeleteInstance() {
  delete instance.data();
}

}  // namespace

Msg_Warning& Msg_Warning::Instance() {
  if (!instance) {
    instance = new Msg_Warning;
    qAddPostRoutine(DeleteInstance);
  }
  return *instance;
}

Msg_Warning::Msg_Warning()
    : MessageDialog(kWidth, 0), ok_(new QPushButton("OK")), timer_(new QTimer(this)) {
  setObjectName("Msg_Warning");
  setWindowModality(Qt::ApplicationModal);
  ok_->setObjectName("cmdOK");
  ok_->setDefault(true);
  AddButton(ok_);
  connect(ok_, &QPushButton::clicked, this, &Msg_Warning::Ok);
  timer_->setObjectName("tmrClose");
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &Msg_Warning::Ok);
  Relayout();
}

int Msg_Warning::Show() {
  return RunMessage(message1_, message2_, color_, timer_milliseconds_, timer_, ok_);
}

void Msg_Warning::reject() {
  Ok();
}

void Msg_Warning::Ok() {
  timer_->stop();
  SetButtonsVisible(false);
  accept();
}

}  // namespace lanereport::gui
