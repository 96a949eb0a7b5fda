#include "ui/common/menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace petrel {

QMenu* AddMenu(QWidget* owner, const char* name, const char* title, QList<QMenu*>* menus) {
    auto* menu = new QMenu(QString::fromLatin1(title), owner);
    menu->setObjectName(QString::fromLatin1(name));
    if (menus != nullptr) {
        menus->append(menu);
    }
    return menu;
}

QMenu* AddSubmenu(QMenu* menu, const char* name, const char* title) {
    QMenu* submenu = menu->addMenu(QString::fromLatin1(title));
    submenu->setObjectName(QString::fromLatin1(name));
    return submenu;
}

QAction* NewItem(QObject* owner, const char* name, const char* text, const char* shortcut) {
    auto* action = new QAction(QString::fromLatin1(text), owner);
    action->setObjectName(QString::fromLatin1(name));
    if (shortcut != nullptr) {
        action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    }
    return action;
}

QAction* AddItem(QMenu* menu, const char* name, const char* text, const char* shortcut) {
    QAction* action = NewItem(menu, name, text, shortcut);
    menu->addAction(action);
    return action;
}

}  // namespace petrel
