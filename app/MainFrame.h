#pragma once

#include "platform/CommandMap.h"
#include "platform/PaneBar.h"

#include <QMainWindow>
#include <QTimer>

#include <map>

class CSkyrakeView;
class CSkyrakeDoc;
class FeedCommands;
class QAction;
class QToolBar;

// The main window: menus, toolbar and keys built from the command table, the status bar with
// its eight panes, and the view in the middle. It routes every command view -> document ->
// frame -> application and applies the update rules to its menu items and buttons.
class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    CMainFrame(CSkyrakeDoc* document, const CommandMap* application);

    CSkyrakeView* view() const { return m_view; }
    PaneBar* statusPanes() const { return m_statusBar; }
    QToolBar* toolBar() const { return m_toolBar; }
    const CommandRouter& router() const { return m_router; }
    FeedCommands& feeds() const { return *m_feeds; }
    // The action of a command id (menus, toolbar and keys share it); null for none.
    QAction* action(int id) const;

    // Carries a command out through the route when its rule allows; returns whether it ran.
    bool execute(int id);
    // Applies every update rule to the actions (enabled, checked).
    void updateActions();
    // Shows the lock keys' states in panes 5-7 (blank where the platform does not tell them).
    void updateIndicators();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createContextMenu();
    void OnViewToolbar();
    void OnViewStatusBar();
    void OnFilePrint();
    static QString lockText(Pane pane);

    CSkyrakeView* m_view;
    PaneBar* m_statusBar = nullptr;
    QToolBar* m_toolBar = nullptr;
    std::map<int, QAction*> m_actions;
    CommandMap m_commands;
    CommandRouter m_router;
    FeedCommands* m_feeds; // fetching and watching the archives
    QTimer m_refresh;      // gathers the announcements of one turn into one update
};
