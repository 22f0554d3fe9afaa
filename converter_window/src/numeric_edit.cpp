#include "tessaldo/converter_window/numeric_edit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleHints>

namespace tessaldo {

namespace {

// A context-menu entry in QLineEdit's wording, with its shortcut where the platform shows them.
QAction* AddEntry(QMenu& menu, const char* text, const char* name, bool enabled,
                  QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
  QString label = QCoreApplication::translate("QLineEdit", text);
  if (key != QKeySequence::UnknownKey &&
      QGuiApplication::styleHints()->showShortcutsInContextMenus()) {
    const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
    if (!shortcut.isEmpty()) label += QLatin1Char('\t') + shortcut;
  }
  QAction* action = menu.addAction(label);
  action->setObjectName(QLatin1String(name));
  action->setIcon(QIcon::fromTheme(QLatin1String(name)));
  action->setEnabled(enabled);
  return action;
}

}  // namespace

NumericEdit::NumericEdit(NumericEditOwner& owner, QWidget* parent)
    : QLineEdit(parent), owner_(owner) {
  // Digits need no input method; with none, every character arrives as a key.
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setDragEnabled(false);
}

void NumericEdit::keyPressEvent(QKeyEvent* event) {
  owner_.FieldKeyPress(*this, *event);
}

// QLineEdit's menu, rebuilt so that each editing entry goes through the owner.
void NumericEdit::contextMenuEvent(QContextMenuEvent* event) {
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const bool selected = hasSelectedText();

  connect(AddEntry(*menu, "&Undo", "edit-undo", owner_.FieldCanUndo(*this), QKeySequence::Undo),
          &QAction::triggered, this, [this] { owner_.FieldUndo(*this); });
  connect(AddEntry(*menu, "&Redo", "edit-redo", owner_.FieldCanRedo(*this), QKeySequence::Redo),
          &QAction::triggered, this, [this] { owner_.FieldRedo(*this); });
  menu->addSeparator();
  connect(AddEntry(*menu, "Cu&t", "edit-cut", selected, QKeySequence::Cut), &QAction::triggered,
          this, [this] { owner_.FieldCut(*this); });
  connect(AddEntry(*menu, "&Copy", "edit-copy", selected, QKeySequence::Copy), &QAction::triggered,
          this, &QLineEdit::copy);
  const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
  connect(AddEntry(*menu, "&Paste", "edit-paste", clipboardHasText, QKeySequence::Paste),
          &QAction::triggered, this,
          [this] { owner_.FieldPaste(*this, QClipboard::Clipboard, true); });
  connect(AddEntry(*menu, "Delete", "edit-delete", selected), &QAction::triggered, this,
          [this] { owner_.FieldDeleteSelection(*this); });
  menu->addSeparator();
  const bool allSelected = selectedText().size() == text().size();
  connect(AddEntry(*menu, "Select All", "select-all", !text().isEmpty() && !allSelected,
                   QKeySequence::SelectAll),
          &QAction::triggered, this, &QLineEdit::selectAll);

  menu->popup(event->globalPos());
  event->accept();
}

void NumericEdit::dropEvent(QDropEvent* event) {
  // Ends QLineEdit's drop feedback (the caret shown at the drop point).
  QDragLeaveEvent leave;
  QLineEdit::dragLeaveEvent(&leave);
  if (isReadOnly() || !event->mimeData()->hasText()) {
    event->ignore();
    return;
  }
  if (owner_.FieldDrop(*this, event->mimeData()->text(), event->position().toPoint())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void NumericEdit::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button pastes the selection clipboard where the system has one.
  if (event->button() == Qt::MiddleButton && !isReadOnly() &&
      QGuiApplication::clipboard()->supportsSelection()) {
    owner_.FieldPaste(*this, QClipboard::Selection, false);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

// Input methods are switched off for these fields: nothing they send is inserted.
void NumericEdit::inputMethodEvent(QInputMethodEvent* event) {
  event->ignore();
}

}  // namespace tessaldo
