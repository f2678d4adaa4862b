#include "platform/Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <memory>

namespace {

const QString sourceLanguage = QStringLiteral("zh");

QString current = sourceLanguage;
// The translators installed for `current`: SkyRake's texts and Qt's own.
std::unique_ptr<QTranslator> ownTexts;
std::unique_ptr<QTranslator> qtTexts;

// The interface language that serves a locale's language, empty for none.
QString servedLanguage(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Chinese:
        return QStringLiteral("zh");
    case QLocale::English:
    case QLocale::C:
        return QStringLiteral("en");
    default:
        return {};
    }
}

std::unique_ptr<QTranslator> loaded(const QString& name, const QString& directory)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, directory))
        return nullptr;
    return translator;
}

} // namespace

QStringList interfaceLanguages()
{
    return {sourceLanguage, QStringLiteral("en")};
}

QString languageKey()
{
    return QStringLiteral("language");
}

QString chooseLanguage(const QString& requested, const QSettings& settings,
                       const QStringList& systemLanguages)
{
    const QStringList languages = interfaceLanguages();
    if (languages.contains(requested))
        return requested;
    const QString kept = settings.value(languageKey()).toString();
    if (languages.contains(kept))
        return kept;
    for (const QString& name : systemLanguages) {
        const QString served = servedLanguage(QLocale(name));
        if (!served.isEmpty())
            return served;
    }
    return QStringLiteral("en");
}

bool installLanguage(QCoreApplication& application, const QString& language)
{
    for (std::unique_ptr<QTranslator>* translator : {&ownTexts, &qtTexts}) {
        if (*translator)
            application.removeTranslator(translator->get());
        translator->reset();
    }
    current = sourceLanguage;
    if (!interfaceLanguages().contains(language))
        return true;

    // Qt's own texts are translated for every language, Chinese included; where Qt's translations
    // are not installed its dialogs keep their English.
    const QString qtName = language == sourceLanguage ? QStringLiteral("zh_CN") : language;
    qtTexts = loaded(QStringLiteral("qtbase_") + qtName, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtTexts)
        application.installTranslator(qtTexts.get());
    if (language == sourceLanguage)
        return true;
    ownTexts = loaded(QStringLiteral("skyrake_") + language, QStringLiteral(":/translations"));
    if (!ownTexts)
        return false;
    application.installTranslator(ownTexts.get());
    current = language;
    return true;
}

QString currentLanguage()
{
    return current;
}

bool showsSourceTexts()
{
    return current == sourceLanguage;
}
