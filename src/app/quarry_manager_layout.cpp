// The main window's controls: where they stand, what they say and how they look.
#include "app/quarry_manager.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/flat_look_style.h"
#include "widgets/check_list_model.h"
#include "widgets/check_list_view.h"
#include "widgets/file_list_box.h"
#include "widgets/hot_spot_splitter.h"
#include "widgets/select_folder_dialog.h"

namespace versweep {

namespace {

// The window's outer size of 609 x 346 less the frame of a sizeable window (4 px a side, a 19-px caption).
constexpr QSize kClientSize(601, 319);
constexpr QPoint kWindowPosition(104, 177);
constexpr int kPanelBorder = 5;
constexpr int kSplitterPosition = 374;
constexpr int kSplitterBarWidth = 7;
constexpr int kBottomPanelHeight = 41;
constexpr int kCheckBoxHeight = 17;
constexpr int kButtonHeight = 25;
constexpr int kListRowHeight = 17;

// The layout's fonts at 12 px, each followed by stand-ins found on Linux desktops, a CJK one last so
// that Chinese captions never turn into boxes.
QFont LayoutFont(const QStringList& families)
{
    QFont font;
    font.setFamilies(families + QStringList{"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"});
    font.setPixelSize(12);
    return font;
}

QFont SongtiFont()
{
    return LayoutFont({"SimSun", QStringLiteral("宋体"), "NSimSun"});
}

QFont ArialFont()
{
    return LayoutFont({"Arial", "Liberation Sans", "DejaVu Sans"});
}

template <class Control>
Control* Placed(Control* control, const char* objectName, const QRect& geometry)
{
    control->setObjectName(objectName);
    control->setGeometry(geometry);
    control->setAccessibleName(control->text());
    return control;
}

} // namespace

void QuarryManagerFm::BuildLayout()
{
    setObjectName("QuarryManagerFm");
    setWindowTitle("Versweep");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(SongtiFont());
    setAcceptDrops(true);
    resize(kClientSize);
    move(kWindowPosition);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);

    m_panelClient = new QFrame(this);
    m_panelClient->setObjectName("PanelClient");
    auto* client = new QVBoxLayout(m_panelClient);
    client->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    form->addWidget(m_panelClient, 1);

    m_splitter = new HotSpotSplitter(m_panelClient);
    m_splitter->setObjectName("Splitter");
    m_splitter->setHandleWidth(kSplitterBarWidth);
    m_splitter->setChildrenCollapsible(false);
    client->addWidget(m_splitter);

    m_checkList = new CheckListView(m_splitter);
    m_checkList->setObjectName("CheckList");
    m_checkList->setFont(ArialFont());
    m_checkList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_checkList->SetCheckListModel(m_model.get());
    m_splitter->addWidget(m_checkList);

    m_panelInfo = new QFrame(m_splitter);
    m_panelInfo->setObjectName("PanelInfo");
    m_panelInfo->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* info = new QVBoxLayout(m_panelInfo);
    info->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    m_splitter->addWidget(m_panelInfo);
    m_splitter->setCollapsible(1, true);
    // Growing the window widens both panes in the layout's proportion, 64 to 36.
    m_splitter->setStretchFactor(0, 64);
    m_splitter->setStretchFactor(1, 36);
    m_splitter->setSizes(
        {kSplitterPosition, kClientSize.width() - 2 * kPanelBorder - kSplitterBarWidth - kSplitterPosition});

    m_fileListBox = new FileListBox(m_panelInfo);
    m_fileListBox->setObjectName("FileListBox");
    m_fileListBox->setFont(ArialFont());
    m_fileListBox->setFrameShape(QFrame::NoFrame);
    QPalette buttonFace = m_fileListBox->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Window));
    m_fileListBox->setPalette(buttonFace);
    m_fileListBox->hide();
    info->addWidget(m_fileListBox);

    m_panelBottom = new QWidget(this);
    m_panelBottom->setObjectName("PanelBottom");
    m_panelBottom->setFixedHeight(kBottomPanelHeight);
    m_panelBottom->setFont(ArialFont());
    form->addWidget(m_panelBottom);

    m_style = new FlatLookStyle;
    m_style->setParent(this);
    m_checkBoxFile =
        Placed(new QCheckBox(tr("列出文件"), m_panelBottom), "CheckBoxFile", QRect(32, 13, 78, kCheckBoxHeight));
    m_checkBoxDup = Placed(new QCheckBox(tr("只列出可能重复的项目"), m_panelBottom), "CheckBoxDup",
                           QRect(128, 13, 148, kCheckBoxHeight));
    m_buttonChooseDir = Placed(new QPushButton(tr("选择整理路径"), m_panelBottom), "ButtonChooseDir",
                               QRect(288, 8, 90, kButtonHeight));
    m_buttonDelete = Placed(new QPushButton(tr("删除选中项目"), m_panelBottom), "ButtonDelete",
                            QRect(392, 8, 90, kButtonHeight));
    m_buttonQuit =
        Placed(new QPushButton(tr("退出程序"), m_panelBottom), "ButtonQuit", QRect(496, 8, 90, kButtonHeight));
    m_buttonDelete->setEnabled(false);
    for (QWidget* control : {static_cast<QWidget*>(m_checkBoxFile), static_cast<QWidget*>(m_checkBoxDup),
                             static_cast<QWidget*>(m_buttonChooseDir), static_cast<QWidget*>(m_buttonDelete),
                             static_cast<QWidget*>(m_buttonQuit)})
        control->setStyle(m_style);
    // Esc presses the quit button, as a dialog's cancel button.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancel, &QShortcut::activated, m_buttonQuit, &QPushButton::click);

    setTabOrder(m_checkList, m_fileListBox);
    setTabOrder(m_fileListBox, m_checkBoxFile);
    setTabOrder(m_checkBoxFile, m_checkBoxDup);
    setTabOrder(m_checkBoxDup, m_buttonChooseDir);
    setTabOrder(m_buttonChooseDir, m_buttonDelete);
    setTabOrder(m_buttonDelete, m_buttonQuit);

    m_selectFolderDialog = new SelectFolderDialog(this);
    m_selectFolderDialog->setObjectName("SelectFolderDialog");
    m_selectFolderDialog->SetTitle(tr("选择路径"));
    BuildPopupMenu();
}

// One menu for the window's life: the fixed commands, then the group entries of the last listing pass.
void QuarryManagerFm::BuildPopupMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName("PopupMenu");
    m_miEmptyDir = m_popupMenu->addAction(tr("选中所有空目录"));
    m_miEmptyDir->setObjectName("miEmptyDir");
    m_miUndo = m_popupMenu->addAction(tr("撤销上次删除"));
    m_miUndo->setObjectName("miUndo");
    m_miKeepCount = m_popupMenu->addAction(tr("保留最新版本数…"));
    m_miKeepCount->setObjectName("miKeepCount");
    QMenu* help = m_popupMenu->addMenu(tr("帮助"));
    help->menuAction()->setObjectName("miHelp");
    m_miAbout = help->addAction(tr("关于"));
    m_miAbout->setObjectName("miAbout");
    QAction* divide = m_popupMenu->addSeparator();
    divide->setObjectName("miDivide");
}

} // namespace versweep
