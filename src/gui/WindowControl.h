#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lanereport::gui {

// The window routines every window of the program shares: placement, the opening and closing
// effect, enabling an owner window, Enter as "next control", and the window colour form.

// Places the top-level window form in the middle of the available area of the screen it is on
// (the primary screen when it is on none yet). Does nothing for null.
void CenterWindow(QWidget* form);

// False when the environment variable LANEREPORT_NO_ANIMATION is set (to anything): then
// AnimateOpen and AnimateClose do nothing.
bool AnimationsEnabled();

// The opening effect: the window fades in over about 120 ms. Call it right after show(). It
// returns at once; the effect runs on the event loop and stops by itself if the window goes
// away first.
void AnimateOpen(QWidget* form);

// The closing effect: an image of the window shrinks towards one of the four screen corners,
// chosen at random, and fades out over about 120 ms. Call it just before the window hides. It
// returns at once and leaves the window itself alone; the image is a separate, input-less
// window that removes itself.
void AnimateClose(QWidget* form);

// Enables (flag true) or disables the window form for input, as an owner window is disabled
// while a window of its run is open. Does nothing for null.
void EnableOwner(QWidget* form, bool flag);

// From now on, Enter or Return pressed in an input field of form is swallowed and the focus
// moves to the next control in the tab order, also for controls added to form later. A focused
// push or tool button is pressed instead, text areas and popups such as an open combo box list
// keep their own Enter. Calling it again for the same form changes nothing. The filter belongs
// to form.
void MoveFocusOnEnter(QWidget* form);

// From now on, in every window of the application, Enter or Return on a focused push or tool
// button presses it, as Space does, whether or not the window moves the focus on Enter. Calling
// it again changes nothing; without an application object it does nothing. The filter belongs
// to the application.
void ButtonsTakeEnter();

// Where a window of frame size size goes that serves the control whose screen rectangle is
// field, so that it leaves the control in sight: below it when that fits into area (the
// screen's available area), else above it, else to its right, else to its left, each moved
// along the control's side to stay inside area. When none fits, below it, moved inside area as
// far as it goes. Returns the frame's top-left corner.
QPoint PlaceBeside(const QRect& field, const QSize& size, const QRect& area);

// Gives the top-level window form the frame of a dialog: a title and a close button, no
// minimise, maximise or help button. Call it before the window is first shown.
void DialogFrame(QWidget* form);

// The window colour form &HBBGGRR (blue in the high byte, red in the low byte) as a colour:
// 0x800000 is dark blue, 0x0000FF red. Bits above the 24 colour bits are ignored.
QColor BgrColor(long bgr);

}  // namespace lanereport::gui
