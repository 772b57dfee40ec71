#include "dialogs/Prompter.h"
#include "dialogs/MenuDialogFrame.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/NumberField.h"
#include "window/RuntimeMenu.h"

namespace qm {

namespace {

// Paints the system note icon.
class IconCanvas : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    p.drawPixmap(16, 16, icon.pixmap(32, 32));
  }
};

}  // namespace

Prompter::Prompter(QWidget* parent) : QDialog(parent) {
  setModal(true);
  content_ = FrameDialogWithMenu(this, menu_);
  content_->setFixedSize(kWidth, kHeight);

  Canvas1 = new IconCanvas(content_);
  Canvas1->setGeometry(20, 20, 64, 64);
  Prompt = new QLabel(content_);
  Prompt->setGeometry(104, 17, 300, 36);
  Prompt->setWordWrap(true);
  Prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Prompt->setTextFormat(Qt::PlainText);
  PopupMenu1 = new QComboBox(content_);
  PopupMenu1->setGeometry(104, 62, 300, 22);
  PopupMenu1->hide();
  EditField1 = new NumberField(content_);
  EditField1->setGeometry(PopupMenu1->geometry());  // exactly over the pop-up menu
  EditField1->setFrame(true);
  QPalette pal = EditField1->palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Text, Qt::black);
  EditField1->setPalette(pal);
  PushButton1 = new QPushButton(tr("OK"), content_);
  PushButton1->setGeometry(324, 102, 80, 20);
  PushButton1->setDefault(true);
  PushButton1->setAutoDefault(true);
  PushButton2 = new QPushButton(tr("Cancel"), content_);
  PushButton2->setGeometry(232, 102, 80, 20);
  PushButton2->setAutoDefault(false);

  connect(PushButton1, &QPushButton::clicked, this, [this] {
    didit = true;
    accept();
  });
  // Escape (reject) is the cancel button.
  connect(PushButton2, &QPushButton::clicked, this, &QDialog::reject);
  connect(this, &QDialog::rejected, this, [this] { didit = false; });
}

void Prompter::setUpText(const QString& question, const QString& defaultText, int64_t maxLength,
                         bool numbersOnly) {
  EditField1->NumberMode = numbersOnly;
  setWindowTitle(tr("Question"));
  Prompt->setText(question);
  if (maxLength != 0) EditField1->setMaxLength(int(std::clamp<int64_t>(maxLength, 1, 32767)));
  EditField1->setText(defaultText);
  EditField1->selectAll();
  EditField1->setFocus();
}

void Prompter::setUpChoice(const QString& question, const QString& title) {
  EditField1->hide();
  PopupMenu1->show();
  setWindowTitle(title);
  Prompt->setText(question);
  PopupMenu1->setFocus();
}

void Prompter::addChoice(const QString& choice) {
  PopupMenu1->addItem(choice);
}

void Prompter::selectDefault(int64_t defaultIndex) {
  if (PopupMenu1->count() == 0) return;
  const int64_t row = std::clamp<int64_t>(defaultIndex - 1, 0, PopupMenu1->count() - 1);
  PopupMenu1->setCurrentIndex(int(row));
}

QString Prompter::fieldText() const {
  return EditField1->text();
}

int64_t Prompter::chosenIndex() const {
  return int64_t(PopupMenu1->currentIndex()) + 1;
}

void Prompter::enterText(const QString& text) {
  EditField1->selectAll();
  EditField1->insert(text);
}

bool Prompter::chooseIndex(int64_t oneBased) {
  if (oneBased < 1 || oneBased > PopupMenu1->count()) return false;
  PopupMenu1->setCurrentIndex(int(oneBased - 1));
  return true;
}

bool Prompter::chooseText(const QString& text) {
  for (int i = 0; i < PopupMenu1->count(); ++i)
    if (PopupMenu1->itemText(i).compare(text, Qt::CaseInsensitive) == 0) {
      PopupMenu1->setCurrentIndex(i);
      return true;
    }
  return false;
}

}  // namespace qm
