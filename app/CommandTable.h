#pragma once

#include <QKeyCombination>
#include <QKeySequence>

#include <span>
#include <vector>

// Where a command stands in a row of buttons or menu items: group (separators fall between
// groups) and place in the group, as tens and units (23: group 2, third place); 0 for nowhere.
using Slot = int;

// The one table of commands: a row per command with everything about it. Menus, toolbar, keys,
// the right-button menu and the link commands are all built from it.
struct CommandInfo
{
    int id;
    const char* label = "";   // menu text, mnemonic included; empty when the command has no item
    const char* prompt = "";  // message-line text while the item is highlighted; empty for none
    const char* tooltip = ""; // empty for none
    const char* icon = "";    // toolbar image under :/res/toolbar/, empty for none
    Slot toolbar = 0;
    const char* contextLabel = ""; // the right-button menu's text for the command
    Slot context = 0;
    QKeyCombination keys[2] = {}; // the accelerators; Qt::Key_unknown (the default) for none
    const char* link = nullptr;   // what the command hands to the desktop shell
};

// A place in a menu: a command, a separator (id 0) or a submenu (title and its places).
struct MenuPlace
{
    int id;
    const char* title = nullptr;
    std::vector<MenuPlace> children = {};
};

struct Menu
{
    const char* title;
    std::vector<MenuPlace> places;
};

std::span<const CommandInfo> commandTable();
const CommandInfo* commandInfo(int id);
// The menu bar: which commands stand where. What each command shows comes from its row.
const std::vector<Menu>& mainMenu();
// The ids of the commands with a place in `slot` of each row, in order, with 0 where a
// separator falls between two groups.
std::vector<int> slotLayout(Slot CommandInfo::*slot);
// Every accelerator of the table, as (key, id) pairs.
std::vector<std::pair<QKeySequence, int>> accelerators();
// The target of link command `id` (web pages, the author's homepage and mail); empty for none.
QString linkTarget(int id);
