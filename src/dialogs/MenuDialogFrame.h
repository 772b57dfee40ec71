#pragma once
// Dialogs of the game carry the game's menu bar (menus belong to each window here) above a
// content widget that fixes the dialog's size.
#include <QDialog>
#include <QVBoxLayout>
#include <QWidget>

#include "window/RuntimeMenu.h"

namespace qm {

// Installs the menu bar and an empty content widget in dialog; returns the content widget.
inline QWidget* FrameDialogWithMenu(QDialog* dialog, RuntimeMenu*& menu) {
  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  menu = new RuntimeMenu(dialog);
  menu->applySettings();
  layout->setMenuBar(menu);
  auto* content = new QWidget(dialog);
  layout->addWidget(content);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  return content;
}

}  // namespace qm
