#include "app/MainFrame.h"

#include "app/CommandTable.h"
#include "app/FeedCommands.h"
#include "app/SkyrakeDoc.h"
#include "platform/CommandIds.h"
#include "platform/Language.h"
#include "platform/LockKeys.h"
#include "platform/PaneBar.h"
#include "platform/Resources.h"
#include "viewer/SkyrakeView.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QToolBar>

#include <algorithm>

namespace {

// A text of the command table in the interface's language.
QString commandText(const char* text)
{
    return QCoreApplication::translate("Commands", text);
}

// Prompts and tooltips show a text that may also be a menu label without its mnemonic marker
// ("&&" stands for an ampersand shown).
QString withoutMnemonic(const char* text)
{
    QString shown = commandText(text);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown[i] == QLatin1Char('&'))
            shown.remove(i, 1);
    }
    return shown;
}

} // namespace

CMainFrame::CMainFrame(CSkyrakeDoc* document, const CommandMap* application) : m_view(new CSkyrakeView(this))
{
    setWindowTitle(QStringLiteral("skyrake"));
    setWindowIcon(programIcon());
    setCentralWidget(m_view);

    m_commands.on(cmd::ViewToolbar, [this] { OnViewToolbar(); });
    // Hidden, not invisible: a bar counts as shown while the window itself is still hidden.
    m_commands.onUpdate(cmd::ViewToolbar, [this](CmdUI& ui) { ui.SetCheck(!m_toolBar->isHidden()); });
    m_commands.on(cmd::ViewStatusBar, [this] { OnViewStatusBar(); });
    m_commands.onUpdate(cmd::ViewStatusBar, [this](CmdUI& ui) { ui.SetCheck(!m_statusBar->isHidden()); });
    m_commands.on(cmd::FilePrint, [this] { OnFilePrint(); });
    m_feeds = new FeedCommands(*this, m_commands);

    m_router = CommandRouter{&m_view->commands(), &document->commands(), &m_commands, application};
    m_view->setDocumentCommands(&document->commands());

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createContextMenu();

    // Update rules run before a menu opens, before a key is matched, after every command and
    // whenever the work or what the window shows changes: once for all the announcements of one
    // turn of the event loop.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &CMainFrame::updateActions);
    const auto refresh = [this] { m_refresh.start(); };
    for (const auto announcement :
         {&WorkChanges::sequenceChanged, &WorkChanges::currentChanged, &WorkChanges::marksChanged,
          &WorkChanges::candidatesChanged, &WorkChanges::stretchChanged, &WorkChanges::reportChanged})
        connect(&m_view->changes(), announcement, this, refresh);
    connect(m_view, &CSkyrakeView::shownChanged, this, refresh);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, refresh);
    connect(m_view, &CSkyrakeView::commandDone, this, &CMainFrame::updateActions);
    // The lock keys' lights have no announcement: they are read while the program is idle.
    auto* idle = new QTimer(this);
    idle->setInterval(100);
    connect(idle, &QTimer::timeout, this, &CMainFrame::updateIndicators);
    idle->start();
    qApp->installEventFilter(this);
    updateActions();
    updateIndicators();
}

QAction* CMainFrame::action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::createActions()
{
    for (const CommandInfo& info : commandTable()) {
        auto* action = new QAction(this);
        const QString label = commandText(info.label);
        const QString tooltip = withoutMnemonic(info.tooltip);
        action->setText(label.isEmpty() ? tooltip : label);
        action->setToolTip(tooltip);
        // A command without a prompt leaves the message line empty while it is highlighted.
        const QString prompt = withoutMnemonic(info.prompt);
        action->setStatusTip(prompt.isEmpty() ? QStringLiteral(" ") : prompt);
        if (*info.icon) {
            action->setIcon(toolbarIcon(QString::fromLatin1(info.icon)));
            // The images belong to the toolbar; menu items show their check marks instead.
            action->setIconVisibleInMenu(false);
        }
        action->setData(info.id);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { execute(id); });
        addAction(action); // so that its keys work wherever the focus is in the window
        m_actions[id] = action;
    }
    std::map<int, QList<QKeySequence>> keys;
    for (const auto& [key, id] : accelerators())
        keys[id].append(key);
    for (const auto& [id, sequences] : keys) {
        if (QAction* a = action(id))
            a->setShortcuts(sequences);
    }
}

void CMainFrame::createMenus()
{
    const std::function<void(QMenu*, const std::vector<MenuPlace>&)> fill =
        [&](QMenu* menu, const std::vector<MenuPlace>& places) {
            for (const MenuPlace& place : places) {
                if (place.id == 0)
                    menu->addSeparator();
                else if (!place.children.empty())
                    fill(menu->addMenu(commandText(place.title)), place.children);
                else
                    menu->addAction(action(place.id));
            }
        };
    for (const Menu& menu : mainMenu()) {
        QMenu* popup = menuBar()->addMenu(commandText(menu.title));
        connect(popup, &QMenu::aboutToShow, this, &CMainFrame::updateActions);
        fill(popup, menu.places);
    }
}

void CMainFrame::createToolBar()
{
    m_toolBar = new QToolBar(tr("工具栏"), this);
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setIconSize(QSize(16, 16));
    for (const int id : slotLayout(&CommandInfo::toolbar)) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

void CMainFrame::createContextMenu()
{
    // Its own actions, with the menu's own texts; the command's rule is tested when it arrives,
    // so they are never greyed.
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("contextMenu"));
    for (const int id : slotLayout(&CommandInfo::context)) {
        if (id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* item = menu->addAction(commandText(commandInfo(id)->contextLabel));
        item->setData(id);
    }
    m_view->setContextMenu(menu);
}

void CMainFrame::createStatusBar()
{
    m_statusBar = new PaneBar(this);
    setStatusBar(m_statusBar);
    m_statusBar->setPaneText(Pane::Message, tr("就绪"));
    m_statusBar->setPaneWidth(Pane::Position, 100);
    m_statusBar->setPaneWidth(Pane::Zoom, 150);
    m_statusBar->setPaneWidth(Pane::Name, 200);
    m_statusBar->setPaneWidth(Pane::Count, 100);
    if (!showsSourceTexts()) {
        // A translated count may be longer than the Chinese source text, which fits two digits.
        const QString count = CSkyrakeView::tr("共有%1幅图片").arg(888);
        m_statusBar->setPaneWidth(Pane::Count,
                                  std::max(100, m_statusBar->fontMetrics().horizontalAdvance(count) + 12));
    }
    m_statusBar->setPaneWidth(
        Pane::FrameTime,
        m_statusBar->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00:00:00 UT")) + 12);
    m_statusBar->setPaneWidth(
        Pane::Sky, m_statusBar->fontMetrics().horizontalAdvance(QStringLiteral("00.00 R☉  PA 000.0°")) + 12);
    // The lock panes are as wide as their texts, whether these show or not.
    for (const Pane pane : {Pane::CapsLock, Pane::NumLock, Pane::ScrollLock}) {
        const int text = m_statusBar->fontMetrics().horizontalAdvance(lockText(pane));
        m_statusBar->setPaneWidth(pane, text + 12);
    }
}

QString CMainFrame::lockText(Pane pane)
{
    switch (pane) {
    case Pane::CapsLock:
        return tr("大写");
    case Pane::NumLock:
        return tr("数字");
    case Pane::ScrollLock:
        return tr("滚动");
    default:
        return {};
    }
}

void CMainFrame::updateIndicators()
{
    const LockKeys keys = currentLockKeys();
    const std::pair<Pane, bool> lights[] = {
        {Pane::CapsLock, keys.capsLock}, {Pane::NumLock, keys.numLock}, {Pane::ScrollLock, keys.scrollLock}};
    for (const auto& [pane, on] : lights) {
        const QString text = on ? lockText(pane) : QString();
        if (m_statusBar->paneText(pane) != text)
            m_statusBar->setPaneText(pane, text);
    }
}

bool CMainFrame::execute(int id)
{
    const bool ran = m_router.execute(id);
    updateActions();
    return ran;
}

void CMainFrame::updateActions()
{
    for (const auto& [id, action] : m_actions) {
        const CmdUI state = m_router.state(id);
        action->setEnabled(state.enabled());
        action->setCheckable(state.marked() || action->isCheckable());
        action->setChecked(state.marked());
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // A key is matched against the enabled actions: settle their state first.
    if (event->type() == QEvent::ShortcutOverride)
        updateActions();
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnViewToolbar()
{
    m_toolBar->setVisible(m_toolBar->isHidden());
}

void CMainFrame::OnViewStatusBar()
{
    // A hidden bar still takes its panes' texts, and shows them when it comes back.
    m_statusBar->setVisible(m_statusBar->isHidden());
}

void CMainFrame::OnFilePrint()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_view->printPage(printer);
}
