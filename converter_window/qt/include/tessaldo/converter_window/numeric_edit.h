#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QPoint>
#include <QString>

#include "tessaldo/converter_window/converter_model.h"

class QContextMenuEvent;
class QDropEvent;
class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;

namespace tessaldo {

class NumericEdit;

// What a numeric field hands to its window: every way the user could change its text. The
// field itself never changes its text on the user's behalf.
class NumericEditOwner {
 public:
  virtual void FieldKeyPress(NumericEdit& field, QKeyEvent& event) = 0;
  // An edit from the menu or the mouse; pastes read the clipboard `mode` when the edit runs.
  virtual void FieldEdit(NumericEdit& field, Request::Kind kind, QClipboard::Mode mode) = 0;
  // Text committed by an input method.
  virtual void FieldCommitText(NumericEdit& field, const QString& text) = 0;
  // Returns whether the text dropped at `point` was taken.
  virtual bool FieldDrop(NumericEdit& field, const QString& text, QPoint point) = 0;
  // The field's text was set by someone other than its owner (an accessibility client).
  virtual void FieldTextSetElsewhere(NumericEdit& field) = 0;
  virtual bool FieldCanUndo(const NumericEdit& field) const = 0;
  virtual bool FieldCanRedo(const NumericEdit& field) const = 0;

 protected:
  ~NumericEditOwner() = default;
};

// A single-line field for digits whose edits all go through its owner: typed keys, deletions,
// cut, paste (keys, context menu, middle button), drops, input methods, undo and redo, and text
// set through its accessibility interface.
class NumericEdit final : public QLineEdit {
 public:
  NumericEdit(NumericEditOwner& owner, QWidget* parent);

  // Sets the text as the owner's own write.
  void SetText(const QString& text);
  // QLineEdit's own handling of a key, for the keys that do not change the text.
  void DefaultKeyPress(QKeyEvent* event) { QLineEdit::keyPressEvent(event); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  NumericEditOwner& owner_;
  bool ownWrite_ = false;
};

// A detached line edit that shows what QLineEdit would make of a key, without touching any
// visible field.
class LineEditProbe final : public QLineEdit {
 public:
  LineEditProbe() = default;
  void Feed(QKeyEvent* event) { QLineEdit::keyPressEvent(event); }
};

}  // namespace tessaldo
