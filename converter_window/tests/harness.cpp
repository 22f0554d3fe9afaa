#include "harness.h"

#include "tessaldo/converter_window/fonts.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTreeWidgetItem>
#include <stdexcept>

namespace tessaldo::testing {

Shown ShownText(const QTextEdit& box) {
  Shown shown;
  for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QRgb colour = fragment.charFormat().foreground().color().rgb();
      const QChar code = colour == qRgb(255, 0, 0) ? u'R' : colour == qRgb(0, 0, 150) ? u'B' : u'?';
      shown.text += fragment.text();
      shown.colours += QString(fragment.text().size(), code);
    }
  }
  return shown;
}

void Form1Test::SetUp() {
  InstallFontSubstitutes();
  form = std::make_unique<Form1>(beeper);
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void Form1Test::TearDown() {
  form.reset();
}

QLineEdit& Form1Test::Text(int number) const {
  static const char* const names[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6Raw"};
  return Control<QLineEdit>(names[number - 1]);
}

Fields Form1Test::Texts() const {
  Fields texts;
  for (int n = 1; n <= 6; ++n) texts[n - 1] = Text(n).text();
  return texts;
}

void Form1Test::Clear() {
  for (int n = 1; n <= 4; ++n) {
    Text(n).selectAll();
    Press(Text(n), Qt::Key_Delete);
  }
}

std::vector<int> Form1Test::WrittenDuring(const std::function<void()>& action) {
  std::vector<int> written;
  std::vector<QMetaObject::Connection> watches;
  for (int n = 1; n <= 6; ++n) {
    watches.push_back(QObject::connect(&Text(n), &QLineEdit::textChanged,
                                       [&written, n] { written.push_back(n); }));
  }
  action();
  for (const auto& watch : watches) QObject::disconnect(watch);
  return written;
}

void Form1Test::Type(QLineEdit& field, const QString& keys) {
  for (const QChar key : keys) QTest::keyClick(&field, key.toLatin1());
}

void Form1Test::Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(&widget, key, modifiers);
}

void Form1Test::Press(QWidget& widget, QKeySequence::StandardKey key) {
  const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
  if (bindings.isEmpty()) throw std::runtime_error("no binding for a standard key");
  const QKeyCombination combination = bindings.front()[0];
  QTest::keyClick(&widget, combination.key(), combination.keyboardModifiers());
}

bool Form1Test::TriggerContextMenu(QLineEdit& field, const char* entry) {
  const QPoint at = field.rect().center();
  QContextMenuEvent request(QContextMenuEvent::Mouse, at, field.mapToGlobal(at));
  QApplication::sendEvent(&field, &request);
  QMenu* menu = nullptr;
  if (!WaitUntil(
          [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); })) {
    return false;
  }
  QAction* action = menu->findChild<QAction*>(QLatin1String(entry));
  const bool enabled = action != nullptr && action->isEnabled();
  if (enabled) action->trigger();
  menu->close();
  WaitUntil([] { return QApplication::activePopupWidget() == nullptr; });
  return enabled;
}

bool Form1Test::Drop(QLineEdit& field, const QString& text, QPoint position) {
  QMimeData data;
  data.setText(text);
  QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&field, &enter);
  if (!enter.isAccepted()) return false;
  QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&field, &move);
  QDropEvent drop(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&field, &drop);
  return drop.isAccepted();
}

// Mouse input goes in through the window system, as the user's would: Qt makes the second
// press of a double-click a double-click, and finds the control under the point itself. A
// point the window does not show cannot be clicked.
QPoint Form1Test::WindowPoint(const QWidget& control, QPoint at) const {
  const QPoint point = control.mapTo(form.get(), at);
  if (!form->rect().contains(point)) {
    throw std::runtime_error("clicked where the window shows nothing");
  }
  return point;
}

void Form1Test::DoubleClickRow(int code) {
  QTreeWidget& list = ListView1();
  QTreeWidgetItem* row = list.topLevelItem(code);
  if (row == nullptr) throw std::runtime_error("no such row");
  list.scrollToItem(row);
  const QPoint point = WindowPoint(*list.viewport(), list.visualItemRect(row).center());
  QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
}

void Form1Test::PickRows(std::initializer_list<int> codes) {
  for (const int code : codes) DoubleClickRow(code);
}

void Form1Test::EnterOnRow(int code, Qt::Key key) {
  QTreeWidget& list = ListView1();
  list.setCurrentItem(list.topLevelItem(code));
  QTest::keyClick(&list, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
}

void Form1Test::Click(const char* name) {
  const QWidget& control = Control<QWidget>(name);
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    WindowPoint(control, control.rect().center()));
}

void Form1Test::OpenPanel() {
  if (form->OuterWidth() == 4030) Click("Image2");
  if (form->OuterWidth() != 7185) throw std::runtime_error("the panel did not open");
}

}  // namespace tessaldo::testing
