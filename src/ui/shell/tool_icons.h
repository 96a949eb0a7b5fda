#pragma once

#include <QIcon>
#include <QString>

namespace petrel {

// The picture of a toolbar button, drawn in code so that the program needs no icon theme.
// key is the button's key ("New", "Open", ...), or "Radio" for the program's own icon; an unknown
// key gives a blank picture.
QIcon ToolIcon(const QString& key);

}  // namespace petrel
