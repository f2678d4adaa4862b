#pragma once

#include <QKeySequence>

#include <span>
#include <vector>

// The one table of commands: every command's label, prompt, tooltip and toolbar image, and
// where it stands in the menus, on the toolbar and on the keyboard. Menus, toolbar and keys
// are all built from it.
struct CommandInfo
{
    int id;
    const char* label;   // menu text, mnemonic included; empty when the command has no item
    const char* prompt;  // message-line text while the item is highlighted; empty for none
    const char* tooltip; // empty for none
    const char* icon;    // toolbar image under :/res/toolbar/, empty for none
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

struct Accelerator
{
    QKeySequence key;
    int id;
};

std::span<const CommandInfo> commandTable();
const CommandInfo* commandInfo(int id);
const std::vector<Menu>& mainMenu();
// Toolbar buttons left to right; 0 is a separator.
std::span<const int> toolbarLayout();
const std::vector<Accelerator>& accelerators();
