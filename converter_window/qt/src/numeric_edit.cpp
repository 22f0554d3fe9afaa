#include "tessaldo/converter_window/numeric_edit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QFocusEvent>
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
  setDragEnabled(false);
  // Whatever sets the text past the owner (the accessible line edit sets it directly) is handed
  // to the owner as the user's edit.
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (!ownWrite_) owner_.FieldTextSetElsewhere(*this);
  });
}

void NumericEdit::SetText(const QString& text) {
  ownWrite_ = true;
  setText(text);
  ownWrite_ = false;
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
          &QAction::triggered, this,
          [this] { owner_.FieldEdit(*this, Request::Kind::kUndo, QClipboard::Clipboard); });
  connect(AddEntry(*menu, "&Redo", "edit-redo", owner_.FieldCanRedo(*this), QKeySequence::Redo),
          &QAction::triggered, this,
          [this] { owner_.FieldEdit(*this, Request::Kind::kRedo, QClipboard::Clipboard); });
  menu->addSeparator();
  connect(AddEntry(*menu, "Cu&t", "edit-cut", selected, QKeySequence::Cut), &QAction::triggered,
          this, [this] { owner_.FieldEdit(*this, Request::Kind::kCut, QClipboard::Clipboard); });
  connect(AddEntry(*menu, "&Copy", "edit-copy", selected, QKeySequence::Copy), &QAction::triggered,
          this, &QLineEdit::copy);
  const bool clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
  connect(AddEntry(*menu, "&Paste", "edit-paste", clipboardHasText, QKeySequence::Paste),
          &QAction::triggered, this,
          [this] { owner_.FieldEdit(*this, Request::Kind::kPaste, QClipboard::Clipboard); });
  connect(AddEntry(*menu, "Delete", "edit-delete", selected), &QAction::triggered, this,
          [this] { owner_.FieldEdit(*this, Request::Kind::kDelete, QClipboard::Clipboard); });
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
    owner_.FieldEdit(*this, Request::Kind::kInsert, QClipboard::Selection);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

// Committed text goes to the owner like a paste of it; what is still being composed is shown
// by the field as usual.
void NumericEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString committed = event->commitString();
  QInputMethodEvent composing(event->preeditString(), event->attributes());
  QLineEdit::inputMethodEvent(&composing);
  if (!committed.isEmpty()) owner_.FieldCommitText(*this, committed);
  event->accept();
}

// Left for another control of the window, the field shows its beginning again, as it does once
// a conversion has written it; a window that is only deactivated keeps the caret where it was.
void NumericEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason) {
    setCursorPosition(0);
  }
}

}  // namespace tessaldo
