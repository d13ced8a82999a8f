// The main window's controls: where they stand, what they say and how they look.
#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
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

// The program's own icon in the sizes a task bar or a dock picks from.
QIcon WindowIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/io.github.versweep.Versweep.png").arg(size));
    return icon;
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

void MainWindow::buildLayout()
{
    setObjectName("QuarryManagerFm");
    setWindowTitle("Versweep");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowIcon(WindowIcon());
    setFont(SongtiFont());
    setAcceptDrops(true);
    buildStatusLine();
    // The layout's client area, with the status line beneath it; never smaller.
    const QSize defaultSize(kClientSize.width(), kClientSize.height() + m_statusLine->height());
    setMinimumSize(defaultSize);
    resize(defaultSize);
    move(kWindowPosition);

    auto* form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);

    m_clientPanel = new QFrame(this);
    m_clientPanel->setObjectName("PanelClient");
    auto* client = new QVBoxLayout(m_clientPanel);
    client->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    form->addWidget(m_clientPanel, 1);

    m_splitter = new HotSpotSplitter(m_clientPanel);
    m_splitter->setObjectName("Splitter");
    m_splitter->setHandleWidth(kSplitterBarWidth);
    m_splitter->setChildrenCollapsible(false);
    client->addWidget(m_splitter);

    m_listView = new CheckListView(m_splitter);
    m_listView->setObjectName("CheckList");
    m_listView->setFont(ArialFont());
    m_listView->setContextMenuPolicy(Qt::CustomContextMenu);
    m_listView->setCheckListModel(m_model.get());
    m_splitter->addWidget(m_listView);

    m_previewPanel = new QFrame(m_splitter);
    m_previewPanel->setObjectName("PanelInfo");
    m_previewPanel->setFrameStyle(QFrame::Box | QFrame::Plain);
    auto* info = new QVBoxLayout(m_previewPanel);
    info->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    m_splitter->addWidget(m_previewPanel);
    m_splitter->setCollapsible(1, true);
    // Growing the window widens both panes in the layout's proportion, 64 to 36.
    m_splitter->setStretchFactor(0, 64);
    m_splitter->setStretchFactor(1, 36);
    m_splitter->setSizes(
        {kSplitterPosition, kClientSize.width() - 2 * kPanelBorder - kSplitterBarWidth - kSplitterPosition});

    m_preview = new FileListBox(m_previewPanel);
    m_preview->setObjectName("FileListBox");
    m_preview->setFont(ArialFont());
    m_preview->setFrameShape(QFrame::NoFrame);
    QPalette buttonFace = m_preview->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Window));
    m_preview->setPalette(buttonFace);
    m_preview->hide();
    info->addWidget(m_preview);

    m_bottomPanel = new QWidget(this);
    m_bottomPanel->setObjectName("PanelBottom");
    m_bottomPanel->setFixedHeight(kBottomPanelHeight);
    m_bottomPanel->setFont(ArialFont());
    form->addWidget(m_bottomPanel);
    form->addWidget(m_statusLine);

    m_style = new FlatLookStyle;
    m_style->setParent(this);
    m_listFilesBox =
        Placed(new QCheckBox(tr("列出文件"), m_bottomPanel), "CheckBoxFile", QRect(32, 13, 78, kCheckBoxHeight));
    m_onlyDuplicatesBox = Placed(new QCheckBox(tr("只列出可能重复的项目"), m_bottomPanel), "CheckBoxDup",
                                 QRect(128, 13, 148, kCheckBoxHeight));
    m_chooseFolderButton = Placed(new QPushButton(tr("选择整理路径"), m_bottomPanel), "ButtonChooseDir",
                                  QRect(288, 8, 90, kButtonHeight));
    m_deleteButton = Placed(new QPushButton(tr("删除选中项目"), m_bottomPanel), "ButtonDelete",
                            QRect(392, 8, 90, kButtonHeight));
    m_quitButton =
        Placed(new QPushButton(tr("退出程序"), m_bottomPanel), "ButtonQuit", QRect(496, 8, 90, kButtonHeight));
    m_deleteButton->setEnabled(false);
    for (QPushButton* button : {m_chooseFolderButton, m_deleteButton, m_quitButton})
        button->setProperty("laidOutX", button->x());
    for (QWidget* control : {static_cast<QWidget*>(m_listFilesBox), static_cast<QWidget*>(m_onlyDuplicatesBox),
                             static_cast<QWidget*>(m_chooseFolderButton), static_cast<QWidget*>(m_deleteButton),
                             static_cast<QWidget*>(m_quitButton)})
        control->setStyle(m_style);
    // Esc presses the quit button, as a dialog's cancel button, once the find bar is closed.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(cancel, &QShortcut::activated, this, &MainWindow::closeFindBarOrQuit);

    setTabOrder(m_listView, m_preview);
    setTabOrder(m_preview, m_listFilesBox);
    setTabOrder(m_listFilesBox, m_onlyDuplicatesBox);
    setTabOrder(m_onlyDuplicatesBox, m_chooseFolderButton);
    setTabOrder(m_chooseFolderButton, m_deleteButton);
    setTabOrder(m_deleteButton, m_quitButton);

    m_folderChooser = new SelectFolderDialog(this);
    m_folderChooser->setObjectName("SelectFolderDialog");
    m_folderChooser->setTitle(tr("选择路径"));
    buildPopupMenu();
    buildKeys();
    m_listView->setAccessibleName(tr("整理路径中的项目"));
}

// One menu for the window's life: the fixed commands, then the group entries of the last listing pass.
void MainWindow::buildPopupMenu()
{
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName("PopupMenu");
    m_emptyFoldersAction = m_popupMenu->addAction(tr("选中所有空目录"));
    m_emptyFoldersAction->setObjectName("miEmptyDir");
    m_undoAction = m_popupMenu->addAction(tr("撤销上次删除"));
    m_undoAction->setObjectName("miUndo");
    m_keepCountAction = m_popupMenu->addAction(tr("保留最新版本数…"));
    m_keepCountAction->setObjectName("miKeepCount");
    QMenu* help = m_popupMenu->addMenu(tr("帮助"));
    help->menuAction()->setObjectName("miHelp");
    m_aboutAction = help->addAction(tr("关于"));
    m_aboutAction->setObjectName("miAbout");
    m_groupMenu = m_popupMenu->addMenu(tr("按组选择"));
    m_groupMenu->menuAction()->setObjectName("miGroups");
    m_groupMenu->menuAction()->setVisible(false);
    QAction* divide = m_popupMenu->addSeparator();
    divide->setObjectName("miDivide");
    buildRowCommands();
}

} // namespace versweep
