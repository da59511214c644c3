#include "TextForm.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

bool TextForm::m_bClickFlg = false;

TextForm::TextForm(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TextForm"));
    setWindowTitle(QStringLiteral("リストで選択されているオブジェクトの名前を変更します"));
    setModal(false);

    textBox1 = new QLineEdit(this);
    textBox1->setObjectName(QStringLiteral("textBox1"));
    textBox1->setMinimumWidth(240);

    button2 = new QPushButton(QStringLiteral("変更"), this);
    button2->setObjectName(QStringLiteral("button2"));
    button2->setDefault(true);
    connect(button2, &QPushButton::clicked, this, &TextForm::OnChange);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(textBox1);
    layout->addWidget(button2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TextForm::OnChange() {
    m_bClickFlg = true;
    // The dialog stays open until the name is applied, but out of the user's way.
    lower();
}
