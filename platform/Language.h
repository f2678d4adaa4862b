#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;
class QSettings;

// The interface's languages. The texts in the sources are the Simplified Chinese ones ("zh");
// English ("en") comes from the translation built into the program. Qt's own texts (the buttons
// of its message boxes and file dialogs) follow, from Qt's translations where they are installed.

// The languages the interface speaks, the source texts' first.
QStringList interfaceLanguages();
// The settings key (in the program's own settings) of the language the observer chose.
QString languageKey();

// The language to show: `requested` (from the command line) when given, else the one kept in
// `settings`, else the system's: the first of its preferred languages that the interface speaks
// (Chinese for a Chinese locale of any script or region), English when it speaks none of them.
QString chooseLanguage(const QString& requested, const QSettings& settings,
                       const QStringList& systemLanguages = QLocale::system().uiLanguages());

// Makes `language` the interface's language: loads its translations into `application`,
// replacing those of the language installed before. False when SkyRake's own translation is
// missing (the source texts show then). A language the interface does not speak (an empty one,
// say) takes every translation away: the source texts show, and Qt's own texts in English.
bool installLanguage(QCoreApplication& application, const QString& language);

// The language in use: the source texts' until installLanguage chose another.
QString currentLanguage();
// Whether the interface shows the source texts, for which the dialogs' templates were drawn.
bool showsSourceTexts();
