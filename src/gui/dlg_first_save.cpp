#include "dlg_first_save.h"

#include <QVBoxLayout>

namespace trivo::gui {

namespace {

const char* const kNoticeLines[] = {
    "Bevor Sie mit den Eingaben für das neue Projekt",
    "beginnen können, muß dieses zunächst gespeichert",
    "werden. ",
    "",
    "Wählen Sie im nachfolgenden Dialog ein möglichst ",
    "leeres Verzeichnis",
    "aus und vergeben Sie einen Dateinamen.",
};

}  // namespace

TDlgFirstSave::TDlgFirstSave(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("DlgFirstSave"));
  setWindowTitle(QStringLiteral("Hinweis"));
  setFixedSize(313, 214);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);

  Memo1 = new QPlainTextEdit(Bevel1);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setFocusPolicy(Qt::NoFocus);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->viewport()->setAutoFillBackground(false);
  QStringList lines;
  for (const char* line : kNoticeLines) lines << QString::fromUtf8(line);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
  auto* bevelLayout = new QVBoxLayout(Bevel1);
  bevelLayout->addWidget(Memo1);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Bevel1, 1);
  layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
}

}  // namespace trivo::gui
