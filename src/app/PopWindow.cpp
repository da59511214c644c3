#include "PopWindow.h"

#include "NumericUpDown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

// The axis letters in the colours the overlay draws the axes in.
QPixmap AxisLetter(const QString& letter, const QColor& colour) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(28);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(picture.rect(), Qt::AlignCenter, letter);
    return picture;
}

QLabel* MakePicture(QWidget* parent, const char* name, const QString& letter, const QColor& colour) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setPixmap(AxisLetter(letter, colour));
    picture->setScaledContents(true);
    picture->setFixedSize(20, 20);
    return picture;
}

NumericUpDown* MakeField(QWidget* parent, const char* name) {
    auto* field = new NumericUpDown(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setDecimals(5);
    field->setRange(-999999.0, 999999.0);
    field->setSingleStep(1.0);
    field->setValue(0.0);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setMinimumWidth(140);
    return field;
}

} // namespace

PopWindow::PopWindow(QWidget* parent) : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("PopWindow"));
    setWindowTitle(QStringLiteral("ControlBox"));
    setModal(false);

    pictureBox1 = MakePicture(this, "pictureBox1", QStringLiteral("X"), QColor(0xFF, 0x00, 0x00));
    pictureBox2 = MakePicture(this, "pictureBox2", QStringLiteral("Y"), QColor(0x00, 0xFF, 0x00));
    pictureBox3 = MakePicture(this, "pictureBox3", QStringLiteral("Z"), QColor(0x00, 0x00, 0xFF));
    numericUpDown1 = MakeField(this, "numericUpDown1");
    numericUpDown2 = MakeField(this, "numericUpDown2");
    numericUpDown3 = MakeField(this, "numericUpDown3");

    checkBox1 = new QCheckBox(QStringLiteral("絶対座標"), this);
    checkBox1->setObjectName(QStringLiteral("checkBox1"));

    button1 = new QPushButton(QStringLiteral("OK"), this);
    button1->setObjectName(QStringLiteral("button1"));
    button1->setDefault(true);
    connect(button1, &QPushButton::clicked, this, &PopWindow::OnOK);

    auto* layout = new QGridLayout(this);
    layout->addWidget(pictureBox1, 0, 0);
    layout->addWidget(numericUpDown1, 0, 1);
    layout->addWidget(pictureBox2, 1, 0);
    layout->addWidget(numericUpDown2, 1, 1);
    layout->addWidget(pictureBox3, 2, 0);
    layout->addWidget(numericUpDown3, 2, 1);
    layout->addWidget(checkBox1, 3, 0, 1, 2);
    layout->addWidget(button1, 4, 0, 1, 2);
    // A fixed border: the window keeps the size of its controls.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PopWindow::OnOK() {
    // A number still being typed counts, as it would once the field lost the focus to the button.
    numericUpDown1->interpretText();
    numericUpDown2->interpretText();
    numericUpDown3->interpretText();
    m_fXValue = static_cast<float>(numericUpDown1->value());
    m_fYValue = static_cast<float>(numericUpDown2->value());
    m_fZValue = static_cast<float>(numericUpDown3->value());
    m_bButtoPush = true;
}
