#include "MyForm.h"

#include "CheckedListBox.h"
#include "DataFolder.h"
#include "DocumentMenus.h"
#include "EditTypeIcons.h"
#include "ExternalViewer.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "MyFormMenus.h"
#include "NumericUpDown.h"
#include "PopWindow.h"
#include "ReadMeWindow.h"
#include "Setting.h"
#include "TextForm.h"
#include "ViewBox.h"
#include "ViewWindow.h"
#include "WindowRegistry.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

namespace {

constexpr int kClientWidth = 1099;
constexpr int kClientHeight = 579;
constexpr int kPanelWidth = 272;
constexpr QSize kViewMinimum(240, 180);
constexpr int kObjectListMinimumHeight = 96;
constexpr double kStartMinimum = 0.00001;
constexpr double kStartMaximum = 999999;
constexpr double kEndMinimum = 0.0001;
constexpr double kEndMaximum = 999999;

// A gap between the near and far limits that survives the fields' six decimals and the float the
// camera takes them as.
double RangeGap(double value) {
    return std::max(0.000001, value * 0.000001);
}
constexpr QSize kEditButtonSize(82, 66);

QPushButton* MakeEditButton(QWidget* parent, const char* name, const QPixmap& picture, const QString& tip) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(kEditButtonSize);
    button->setFixedHeight(kEditButtonSize.height());
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setIcon(QIcon(picture));
    button->setIconSize(kEditButtonSize - QSize(8, 8));
    button->setToolTip(tip);
    return button;
}

NumericUpDown* MakeNumericField(QWidget* parent, const char* name, double minimum, double maximum,
                                double increment, double initial) {
    auto* field = new NumericUpDown(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setDecimals(6);
    field->setRange(minimum, maximum);
    field->setSingleStep(increment);
    field->setValue(initial);
    field->setGroupSeparatorShown(true);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A typed number is taken when it is confirmed, not at every key: taking it moves the focus on.
    field->setKeyboardTracking(false);
    // Reachable by mouse but not by the tab key.
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

QLineEdit* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLineEdit(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setReadOnly(true);
    label->setFrame(false);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    return label;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& text, bool checked) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return box;
}

} // namespace

MyForm::MyForm(QWidget* parent)
    : QMainWindow(parent), m_hWnd(reinterpret_cast<HWND>(static_cast<QWidget*>(this))) {
    setObjectName(QStringLiteral("MyForm"));
    setWindowTitle(QStringLiteral("3DFieldsmith Ver1.4"));
    setWindowIcon(EditTypeIcons::WindowIcon());

    menuStrip1 = menuBar();
    menuStrip1->setObjectName(QStringLiteral("menuStrip1"));
    BuildControls();
    MyFormMenus::BuildFileDialogs(*this);
    MyFormMenus::BuildMenuBar(*this);
    MyFormMenus::BuildContextMenu(*this);
    DocumentMenus::Build(*this);
    ConnectControls();

    // No smaller than the side panel standing whole beside a view that still shows something.
    pictureBox1->setMinimumSize(kViewMinimum);
    checkedListBox1->setMinimumHeight(kObjectListMinimumHeight);
    setMinimumSize(minimumSizeHint().expandedTo(layout()->minimumSize()));
    // The client area, menu bar included, as the editor has always opened.
    resize(kClientWidth, kClientHeight);
    listBox1->setCurrentRow(0);
    WindowRegistry::GetInstance().Register(m_hWnd, this);
}

MyForm::~MyForm() {
    WindowRegistry::GetInstance().Unregister(m_hWnd);
}

void MyForm::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(6);

    pictureBox1 = new ViewBox(central);
    pictureBox1->setObjectName(QStringLiteral("pictureBox1"));
    layout->addWidget(pictureBox1, 1);

    auto* panel = new QWidget(central);
    panel->setObjectName(QStringLiteral("panel1"));
    panel->setFixedWidth(kPanelWidth);
    layout->addWidget(panel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    const qreal dpr = devicePixelRatioF();
    const QSize picture = kEditButtonSize - QSize(8, 8);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    button1 = MakeEditButton(panel, "button1", EditTypeIcons::Move(picture, dpr), QStringLiteral("移動 (V)"));
    button2 =
        MakeEditButton(panel, "button2", EditTypeIcons::Rotate(picture, dpr), QStringLiteral("回転 (C)"));
    button3 =
        MakeEditButton(panel, "button3", EditTypeIcons::Scale(picture, dpr), QStringLiteral("拡大 (Q)"));
    // One of the three is always shown pressed: the active edit type.
    auto* group = new QButtonGroup(panel);
    for (QPushButton* button : {button1, button2, button3}) {
        button->setCheckable(true);
        group->addButton(button);
        buttons->addWidget(button);
    }
    button1->setChecked(true);
    column->addLayout(buttons);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(4);
    fields->setVerticalSpacing(3);
    textBox1 = MakeLabel(panel, "textBox1", QStringLiteral("カメラ倍率"));
    textBox2 = MakeLabel(panel, "textBox2", QStringLiteral("描画範囲START地点"));
    textBox3 = MakeLabel(panel, "textBox3", QStringLiteral("描画範囲END地点"));
    numericUpDown1 = MakeNumericField(panel, "numericUpDown1", 0.0001, 1000, 0.1, 1);
    numericUpDown2 = MakeNumericField(panel, "numericUpDown2", kStartMinimum, kStartMaximum, 0.01, 0.1);
    numericUpDown3 = MakeNumericField(panel, "numericUpDown3", kEndMinimum, kEndMaximum, 1, 2000);
    KeepDrawRangeOrdered();
    QLineEdit* labels[] = {textBox1, textBox2, textBox3};
    NumericUpDown* numbers[] = {numericUpDown1, numericUpDown2, numericUpDown3};
    for (int row = 0; row < 3; ++row) {
        // The label's text lines up with the number beside it.
        labels[row]->setFixedHeight(numbers[row]->sizeHint().height());
        fields->addWidget(labels[row], row, 0);
        fields->addWidget(numbers[row], row, 1);
    }
    fields->setColumnStretch(1, 1);
    column->addLayout(fields);

    auto* boxes = new QGridLayout;
    boxes->setContentsMargins(2, 0, 0, 0);
    checkBox1 = MakeCheckBox(panel, "checkBox1", QStringLiteral("正射影"), false);
    checkBox2 = MakeCheckBox(panel, "checkBox2", QStringLiteral("ローカル軸"), false);
    checkBox3 = MakeCheckBox(panel, "checkBox3", QStringLiteral("ライトON/OFF"), true);
    boxes->addWidget(checkBox1, 0, 0);
    boxes->addWidget(checkBox2, 0, 1);
    boxes->addWidget(checkBox3, 1, 0, 1, 2);
    column->addLayout(boxes);

    listBox1 = new QListWidget(panel);
    listBox1->setObjectName(QStringLiteral("listBox1"));
    listBox1->addItems({QStringLiteral("固定機能描画"), QStringLiteral("ベースシェーダ"),
                        QStringLiteral("トゥーンシェーダ（アニメ調）"), QStringLiteral("環境マップシェーダ"),
                        QStringLiteral("シャドウマップ")});
    listBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    listBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rows = listBox1->count();
    listBox1->setFixedHeight(listBox1->sizeHintForRow(0) * rows + 2 * listBox1->frameWidth() + 4);
    column->addWidget(listBox1);

    checkedListBox1 = new CheckedListBox(panel);
    checkedListBox1->setObjectName(QStringLiteral("checkedListBox1"));
    checkedListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(checkedListBox1, 1);
}

void MyForm::ConnectControls() {
    connect(button1, &QPushButton::clicked, this, [this] { SetSelectEdit(0); });
    connect(button2, &QPushButton::clicked, this, [this] { SetSelectEdit(1); });
    connect(button3, &QPushButton::clicked, this, [this] { SetSelectEdit(2); });
    connect(checkBox3, &QCheckBox::toggled, this, [this](bool checked) { m_bLightEnable = checked; });
    connect(numericUpDown1, &QDoubleSpinBox::valueChanged, this,
            [this] { NumericChanged(numericUpDown1, &m_fnumerDis, 1); });
    connect(numericUpDown2, &QDoubleSpinBox::valueChanged, this,
            [this] { NumericChanged(numericUpDown2, &m_fDrawStartRange, 2); });
    connect(numericUpDown3, &QDoubleSpinBox::valueChanged, this,
            [this] { NumericChanged(numericUpDown3, &m_fDrawEndRange, 1); });

    // A render mode is always chosen: a click that would leave the list without one chooses again.
    connect(listBox1, &QListWidget::itemSelectionChanged, this, [this] {
        if (listBox1->selectedItems().isEmpty())
            listBox1->setCurrentRow(std::max(0, listBox1->currentRow()), QItemSelectionModel::ClearAndSelect);
    });
    connect(pictureBox1, &ViewBox::WheelTurned, this, &MyForm::AddMouseWheel);
    connect(pictureBox1, &ViewBox::FileDropped, this, &MyForm::AcceptDroppedFile);
    connect(checkedListBox1, &QWidget::customContextMenuRequested, this, &MyForm::ShowContextMenu);
}

void MyForm::NumericChanged(NumericUpDown* field, float* value, int focusMoves) {
    *value = static_cast<float>(field->value());
    if (field != numericUpDown1)
        KeepDrawRangeOrdered();
    for (int i = 0; i < focusMoves; ++i)
        focusNextChild();
}

void MyForm::KeepDrawRangeOrdered() {
    // A near limit at or beyond the far one leaves the camera without a projection: each field stops
    // short of the other's value.
    const QSignalBlocker blockStart(numericUpDown2);
    const QSignalBlocker blockEnd(numericUpDown3);
    const double end = numericUpDown3->value();
    numericUpDown2->setMaximum(std::clamp(end - RangeGap(end), kStartMinimum, kStartMaximum));
    const double start = numericUpDown2->value();
    numericUpDown3->setMinimum(std::clamp(start + RangeGap(start), kEndMinimum, kEndMaximum));
    m_fDrawStartRange = static_cast<float>(numericUpDown2->value());
    m_fDrawEndRange = static_cast<float>(numericUpDown3->value());
}

void MyForm::ShowContextMenu(const QPoint& position) {
    if (!contextMenuStrip1->isEnabled())
        return;
    // Not exec(): the frame loop keeps running while the menu is open, because the camera watches
    // which of its items is highlighted when the button goes down.
    contextMenuStrip1->popup(checkedListBox1->viewport()->mapToGlobal(position));
}

bool MyForm::IsItemSelected(const QAction* item) const {
    return item != nullptr && contextMenuStrip1->isVisible() && contextMenuStrip1->activeAction() == item;
}

void MyForm::SetSelectEdit(int editType) {
    m_iNowSelectEdit = editType;
    QPushButton* buttons[] = {button1, button2, button3};
    if (editType >= 0 && editType < 3)
        buttons[editType]->setChecked(true);
}

int MyForm::RenderMode() const {
    const QList<QListWidgetItem*> selected = listBox1->selectedItems();
    return selected.isEmpty() ? -1 : listBox1->row(selected.front());
}

bool MyForm::isMatrixIdenty() {
    const bool requested = m_bMatrixIdenty;
    m_bMatrixIdenty = false;
    return requested;
}

void MyForm::SetMouseWheel(int wheel) {
    m_MouseWheel = wheel;
    m_iWheelRemainder = 0;
}

void MyForm::AddMouseWheel(int angleDelta) {
    // In 64 bits: a wheel can report any delta, and the sum must saturate rather than wrap.
    long long scaled = static_cast<long long>(angleDelta) * QApplication::wheelScrollLines();
    if ((scaled > 0 && m_iWheelRemainder < 0) || (scaled < 0 && m_iWheelRemainder > 0))
        m_iWheelRemainder = 0;
    scaled += m_iWheelRemainder;
    const long long steps = scaled / 120;
    m_iWheelRemainder = static_cast<int>(scaled - steps * 120);
    m_MouseWheel = static_cast<int>(std::clamp<long long>(m_MouseWheel + steps, INT_MIN, INT_MAX));
}

void MyForm::AcceptDroppedFile(const QString& path) {
    if (path.isEmpty())
        return;
    openFileDialog1->setFileName(path);
    m_bXfileOpenFlg = true;
}

void MyForm::wheelEvent(QWheelEvent* event) {
    // The camera zooms only for turns over the view, which the view reports itself; a turn that a
    // list or a number field passed on here was meant for them.
    event->accept();
}

POINT MyForm::ClientOriginOnScreen() const {
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    return POINT{origin.x(), origin.y()};
}

bool MyForm::IsActive() const {
    // With the view clicked, the focus is on its native window, which sits inside this one. Not
    // isActiveWindow(): Qt counts this window active while its tool windows (the coordinate pop-up,
    // the rename dialog) have the focus, and keys typed there must not act on the scene.
    return QApplication::activeWindow() == this ||
           QGuiApplication::focusWindow() == pictureBox1->NativeWindow();
}

void MyForm::ShowRename() {
    if (m_PopForm)
        m_PopForm->close();
    // One rename dialog at a time: an older one left open would apply its name to whatever is
    // selected when its button is pressed.
    if (m_TextForm) {
        m_TextForm->close();
        m_TextForm->deleteLater();
    }
    m_TextForm = new TextForm(this);
    const int selected = checkedListBox1->SelectedIndex();
    m_TextForm->textBox1->setText(selected >= 0 ? checkedListBox1->Item(selected) : QString());
    m_TextForm->show();
    m_TextForm->raise();
}

void MyForm::ShowSettings() {
    if (m_PopForm)
        m_PopForm->close();
    if (m_SettingForm) {
        m_SettingForm->close();
        m_SettingForm->deleteLater();
    }
    m_SettingForm = new Setting(this);
    m_SettingForm->show();
}

void MyForm::ShowReadMe() {
    const QString path = QString::fromLocal8Bit(DataFolder::Path("Data/Text/ReadMe.txt"));
    if (TryExternalViewer(path))
        return;
    // A desktop without a registered text viewer still shows the read-me, in a window of our own;
    // one such window at a time.
    for (ReadMeWindow* older : findChildren<ReadMeWindow*>())
        older->close();
    if (ReadMeWindow::Open(this, path) == nullptr)
        OpenInExternalViewer(path);
}

void MyForm::ShowVersion() {
    const QString text = QStringLiteral("[名前]          3DFieldsmith\n"
                                        "[バージョン]     1.4\n"
                                        "[制作者]       Fieldsmith Project\n"
                                        "[Icon提供者] Fieldsmith Project");
    MessageBoxA(m_hWnd, text.toUtf8().constData(), "3DFieldsmithバージョン情報", MB_OK);
}

void MyForm::CloseSecondaryWindows() {
    if (m_PopForm)
        m_PopForm->close();
    if (m_SettingForm)
        m_SettingForm->close();
    if (m_TextForm)
        m_TextForm->close();
}

void MyForm::SetDocumentState(const QString& mapFile, bool modified) {
    if (mapFile == m_strMapFile && modified == m_bModified && !windowTitle().isEmpty())
        return;
    m_strMapFile = mapFile;
    m_bModified = modified;
    QString title = QStringLiteral("3DFieldsmith Ver1.4");
    if (!mapFile.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(mapFile).fileName();
    if (modified)
        title += QStringLiteral(" *");
    setWindowTitle(title);
}

void MyForm::CloseConfirmed() {
    m_bClosed = true;
    CloseSecondaryWindows();
    close();
}

bool MyForm::AskToSaveBeforeClosing() {
    constexpr unsigned kYesNoCancel = 0x00000003u;
    const int answer =
        MessageBoxA(m_hWnd, "変更が保存されていません。保存しますか？", "Information", kYesNoCancel);
    if (answer == IDNO)
        return true;
    if (answer != IDYES)
        return false;
    // The frame saves, and closes the window only if the save succeeded. Without a map file of its
    // own the scene is saved where the map save dialog says; a cancelled dialog cancels the close.
    if (m_strMapFile.isEmpty() && saveFileDialog6->ShowDialog(this) != FileDialog::Result::OK)
        return false;
    m_bSaveAndCloseFlg = true;
    return false;
}

void MyForm::closeEvent(QCloseEvent* event) {
    if (m_bClosed) {
        event->accept();
        return;
    }
    if (m_bModified) {
        if (!AskToSaveBeforeClosing()) {
            event->ignore();
            return;
        }
    } else if (MessageBoxA(m_hWnd, "終了しますか？", "Information", MB_YESNO) == IDNO) {
        event->ignore();
        return;
    }
    m_bClosed = true;
    CloseSecondaryWindows();
    event->accept();
}
