#include "platform/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "dialogs/Prompter.h"

namespace qm {

namespace {

QString html(const std::string& text) {
  return QString::fromStdString(text)
      .toHtmlEscaped()
      .replace("\r\n", "<br>")
      .replace('\n', "<br>")
      .replace('\r', "<br>");
}

}  // namespace

std::string QtDialogs::alert(const AlertRequest& request) {
  QMessageBox box(QApplication::activeWindow());
  box.setIcon(request.icon == AlertIcon::Note ? QMessageBox::Information : QMessageBox::Warning);
  box.setTextFormat(Qt::RichText);
  box.setText("<b>" + html(request.message) + "</b>");
  if (!request.explanation.empty()) box.setInformativeText(html(request.explanation));
  QPushButton* ok =
      box.addButton(QString::fromStdString(request.okCaption), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  QPushButton* cancel = nullptr;
  if (!request.cancelCaption.empty()) {
    cancel = box.addButton(QString::fromStdString(request.cancelCaption), QMessageBox::RejectRole);
    box.setEscapeButton(cancel);
  }
  if (!request.altCaption.empty())
    box.addButton(QString::fromStdString(request.altCaption), QMessageBox::DestructiveRole);
  if (request.beep) QApplication::beep();
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  if (!pressed) return cancel ? request.cancelCaption : request.okCaption;
  if (pressed == ok) return request.okCaption;
  if (pressed == cancel) return request.cancelCaption;
  return request.altCaption;
}

void QtDialogs::message(const std::string& text) {
  QMessageBox box(QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(text));
  box.addButton(QMessageBox::Ok);
  box.exec();
}

bool QtDialogs::prompt(Prompter& prompter, PromptKind) {
  prompter.exec();
  return prompter.didit;
}

void QtDialogs::showAbout(QWidget& about) {
  about.show();
  about.raise();
  about.activateWindow();
}

void QtDialogs::beep() {
  QApplication::beep();
}

void QtDialogs::openUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtDialogs::launch(const QString& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace qm
