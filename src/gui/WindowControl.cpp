#include "WindowControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

namespace lanereport::gui {
namespace {

constexpr int kEffectMilliseconds = 120;
constexpr const char* kOpenEffectName = "lanereport_open_effect";
constexpr const char* kCloseImageName = "lanereport_close_effect";
constexpr const char* kEnterFilterName = "lanereport_enter_moves_focus";
constexpr const char* kButtonFilterName = "lanereport_buttons_take_enter";

bool IsPlainEnter(const QKeyEvent* key) {
  return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
         (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Push and tool buttons are pressed by Enter; check boxes and radio buttons are input fields.
bool IsPressButton(const QObject* object) {
  return qobject_cast<const QPushButton*>(object) || qobject_cast<const QToolButton*>(object);
}

// Presses button for the Enter key event key, once per stroke (a held key repeats nothing).
void PressOnEnter(QAbstractButton* button, const QKeyEvent* key) {
  if (!key->isAutoRepeat() && button->isEnabled() && button->isVisible()) button->click();
}

// Enter or Return on a focused push or tool button presses it, in every window.
class ButtonsPressOnEnter : public QObject {
 public:
  explicit ButtonsPressOnEnter(QObject* application) : QObject(application) {
    setObjectName(kButtonFilterName);
    application->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !IsPressButton(watched)) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* button = static_cast<QAbstractButton*>(watched);
    if (!IsPlainEnter(key) || !button->hasFocus()) return false;
    PressOnEnter(button, key);
    return true;
  }
};

QScreen* ScreenOf(QWidget* form) {
  QScreen* screen = form->screen();
  return screen ? screen : QGuiApplication::primaryScreen();
}

// Enter or Return in a control of the form becomes a Tab stroke sent to that control, which
// moves the focus on as the Tab key itself would.
class EnterMovesFocus : public QObject {
 public:
  explicit EnterMovesFocus(QWidget* form) : QObject(form), form_(form) {
    setObjectName(kEnterFilterName);
    Watch(form);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ChildAdded) {
      QObject* child = static_cast<QChildEvent*>(event)->child();
      if (child->isWidgetType()) Watch(child);
      return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!IsPlainEnter(key)) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != form_) return false;
    // A button that let the key pass would hand it on to its frame, which would move the focus
    // instead: the button is pressed here.
    if (IsPressButton(widget)) {
      PressOnEnter(static_cast<QAbstractButton*>(widget), key);
      return true;
    }
    if (qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget)) return false;
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &tab);
    return true;
  }

 private:
  void Watch(QObject* object) {
    object->installEventFilter(this);
    for (QObject* child : object->children()) {
      if (child->isWidgetType()) Watch(child);
    }
  }

  QWidget* form_;
};

}  // namespace

void CenterWindow(QWidget* form) {
  if (!form) return;
  QScreen* screen = ScreenOf(form);
  if (!screen) return;
  // A window that was never shown nor sized has no size of its own yet; give it the size
  // showing it would give, so that it is centred by that size.
  if (!form->isVisible() && !form->testAttribute(Qt::WA_Resized)) {
    form->ensurePolished();
    form->adjustSize();
  }
  const QRect area = screen->availableGeometry();
  const QRect frame = form->frameGeometry();
  form->move(area.x() + (area.width() - frame.width()) / 2,
             area.y() + (area.height() - frame.height()) / 2);
}

bool AnimationsEnabled() {
  return !qEnvironmentVariableIsSet("LANEREPORT_NO_ANIMATION");
}

void AnimateOpen(QWidget* form) {
  if (!form || !AnimationsEnabled()) return;
  // A second opening while the first still runs starts over.
  if (auto* running =
          form->findChild<QPropertyAnimation*>(kOpenEffectName, Qt::FindDirectChildrenOnly)) {
    running->stop();
    delete running;
  }
  auto* fade = new QPropertyAnimation(form, "windowOpacity", form);
  fade->setObjectName(kOpenEffectName);
  fade->setDuration(kEffectMilliseconds);
  fade->setStartValue(0.0);
  fade->setEndValue(1.0);
  form->setWindowOpacity(0.0);
  fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void AnimateClose(QWidget* form) {
  if (!form || !AnimationsEnabled() || !form->isVisible()) return;
  QScreen* screen = ScreenOf(form);
  if (!screen) return;

  auto* image = new QLabel;
  image->setObjectName(kCloseImageName);
  image->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
  image->setAttribute(Qt::WA_ShowWithoutActivating);
  image->setAttribute(Qt::WA_QuitOnClose, false);
  image->setScaledContents(true);
  image->setPixmap(form->grab());
  const QRect from = form->geometry();
  image->setGeometry(from);

  const QRect area = screen->geometry();
  const int corner = static_cast<int>(QRandomGenerator::global()->bounded(4));
  const int x = (corner % 2 == 0) ? area.left() : area.right();
  const int y = (corner < 2) ? area.top() : area.bottom();
  const QRect to(x, y, 1, 1);

  auto* effect = new QParallelAnimationGroup(image);
  auto* move = new QPropertyAnimation(image, "geometry", effect);
  move->setDuration(kEffectMilliseconds);
  move->setStartValue(from);
  move->setEndValue(to);
  auto* fade = new QPropertyAnimation(image, "windowOpacity", effect);
  fade->setDuration(kEffectMilliseconds);
  fade->setStartValue(1.0);
  fade->setEndValue(0.0);
  effect->addAnimation(move);
  effect->addAnimation(fade);
  QObject::connect(effect, &QAbstractAnimation::finished, image, &QObject::deleteLater);
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, image, &QObject::deleteLater);
  image->show();
  effect->start();
}

void EnableOwner(QWidget* form, bool flag) {
  if (form) form->setEnabled(flag);
}

void MoveFocusOnEnter(QWidget* form) {
  if (!form || form->findChild<QObject*>(kEnterFilterName, Qt::FindDirectChildrenOnly)) return;
  new EnterMovesFocus(form);
}

void ButtonsTakeEnter() {
  QCoreApplication* application = QCoreApplication::instance();
  if (!application ||
      application->findChild<QObject*>(kButtonFilterName, Qt::FindDirectChildrenOnly))
    return;
  new ButtonsPressOnEnter(application);
}

QPoint PlaceBeside(const QRect& field, const QSize& size, const QRect& area) {
  // Along a side, the window starts where the control does and moves back inside the area.
  auto along = [](int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length + 1));
  };
  const int x = along(field.left(), size.width(), area.left(), area.right());
  const int y = along(field.top(), size.height(), area.top(), area.bottom());
  const QPoint candidates[] = {
      {x, field.bottom() + 1},
      {x, field.top() - size.height()},
      {field.right() + 1, y},
      {field.left() - size.width(), y},
  };
  for (const QPoint& corner : candidates) {
    if (area.contains(QRect(corner, size))) return corner;
  }
  return {x, along(field.bottom() + 1, size.height(), area.top(), area.bottom())};
}

void DialogFrame(QWidget* form) {
  if (!form) return;
  form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

QColor BgrColor(long bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace lanereport::gui
