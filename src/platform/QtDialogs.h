#pragma once
// The real dialogs: Qt message boxes, the prompt window run modally, the desktop's browser and
// file launcher.
#include "platform/DialogSeam.h"

namespace qm {

class QtDialogs : public DialogSeam {
 public:
  bool interactive() const override { return true; }
  std::string alert(const AlertRequest& request) override;
  void message(const std::string& text) override;
  bool prompt(Prompter& prompter, PromptKind kind) override;
  void showAbout(QWidget& about) override;
  void beep() override;
  void openUrl(const std::string& url) override;
  void launch(const QString& path) override;
};

}  // namespace qm
