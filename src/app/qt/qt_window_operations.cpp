// Window operations on Qt widgets, for the file dialog hook.
#include "app/qt/qt_window_operations.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zrk::app {
namespace {

// The hook's coordinates count from the primary screen's corner, so that a dialog centred on "the
// screen" lands on the primary screen wherever the desktop places it.
QPoint ScreenOrigin() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().topLeft() : QPoint();
}

QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().size() : QSize(0, 0);
}

}  // namespace

WindowHandle HandleOf(const QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

QWidget* WidgetOf(WindowHandle window) {
  // A handle may outlive its widget (hDialogFrame keeps the closed dialog's), so it is only ever
  // turned back into a widget that still exists.
  if (window == 0) return nullptr;
  const QWidgetList widgets = QApplication::allWidgets();
  for (QWidget* widget : widgets) {
    if (HandleOf(widget) == window) return widget;
  }
  return nullptr;
}

WindowHandle QtWindowOperations::ParentOf(WindowHandle window) {
  const QWidget* widget = WidgetOf(window);
  return widget != nullptr ? HandleOf(widget->parentWidget()) : 0;
}

WindowRect QtWindowOperations::Rect(WindowHandle window) {
  const QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return {};
  const QRect frame = widget->frameGeometry().translated(-ScreenOrigin());
  return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

void QtWindowOperations::Move(WindowHandle window, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::int32_t height) {
  QWidget* widget = WidgetOf(window);
  if (widget == nullptr) return;
  widget->move(QPoint(x, y) + ScreenOrigin());
  // The size given is the frame's; the widget is resized by its client area, so only a real
  // change of size is passed on, less the decorations.
  const QSize decorations = widget->frameGeometry().size() - widget->geometry().size();
  const QSize client = QSize(width, height) - decorations;
  if (client != widget->size() && client.width() >= 0 && client.height() >= 0) {
    widget->resize(client);
  }
}

double QtWindowOperations::ScreenWidthPixels() { return ScreenSize().width(); }

double QtWindowOperations::ScreenHeightPixels() { return ScreenSize().height(); }

void QtWindowOperations::SetControlText(WindowHandle frame, DialogControl control,
                                        const std::string& text) {
  auto* dialog = qobject_cast<QFileDialog*>(WidgetOf(frame));
  if (dialog == nullptr) return;
  dialog->setLabelText(control == DialogControl::kOk ? QFileDialog::Accept : QFileDialog::Reject,
                       QString::fromStdString(text));
}

}  // namespace zrk::app
