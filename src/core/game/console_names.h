#pragma once
// Names the editor hands to the game (demos, their folders, scripts): the engines' command parser
// has no escape for '"', ends a command at ';' or a line break, and its command line starts a new
// command at '+'. Such a name would run commands of its own, so it is refused, never escaped.

#include <QString>
#include <QStringList>
#include <optional>

namespace kestrova {

enum class GameNameUse {
    Console,     // typed into the console or written into a script line
    CommandLine, // passed on the game's command line
    BindCommand, // inside the quoted command of a bind: no quotes of its own, so no blanks
};

// The first character of the name the game would read as the end of the command, described for
// the user ("\"", ";", "+", "a line break", "a blank", "a control character"); nothing when safe.
std::optional<QString> UnsafeGameNameCharacter(const QString& name, GameNameUse use);
// The message that refuses the name.
QString UnsafeGameNameMessage(const QString& name, const QString& character);
// The first unsafe name of the list with its message; nothing when all are safe.
std::optional<QString> RefuseUnsafeGameNames(const QStringList& names, GameNameUse use);

// The name as one console argument: between quotes when it holds a blank.
QString GameArgument(const QString& name);

} // namespace kestrova
