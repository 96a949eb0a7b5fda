#pragma once

#include <QList>

class QAction;
class QMenu;
class QObject;
class QWidget;

namespace petrel {

// Menus and their items: each has the objectName the shell and the tests find it by, and a
// caption with its access letter ("&File").

// A menu owned by owner; menus, when given, collects it for the menu bar.
QMenu* AddMenu(QWidget* owner, const char* name, const char* title, QList<QMenu*>* menus = nullptr);
// A submenu at the end of menu.
QMenu* AddSubmenu(QMenu* menu, const char* name, const char* title);
// An item at the end of menu, with its shortcut when one is given.
QAction* AddItem(QMenu* menu, const char* name, const char* text, const char* shortcut = nullptr);
// An item in no menu yet, owned by owner: one item that several menus show.
QAction* NewItem(QObject* owner, const char* name, const char* text,
                 const char* shortcut = nullptr);

}  // namespace petrel
