// Loading the window's translation and Qt's own for the chosen language.
#include "app/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace versweep {

namespace {

// Qt's own texts (the message boxes' buttons, the folder dialog) in the same language, when installed.
void InstallQtTranslation(const QLocale& locale)
{
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}

} // namespace

QString InstallTranslations(const std::string& language)
{
    const QLocale locale = language.empty() ? QLocale::system() : QLocale(QString::fromStdString(language));
    if (locale.language() == QLocale::Chinese) {
        InstallQtTranslation(locale);
        return {};
    }
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(locale, "versweep", "_", ":/i18n")) {
        delete own;
        InstallQtTranslation(QLocale(QLocale::Chinese, QLocale::China));
        return {};
    }
    QCoreApplication::installTranslator(own);
    InstallQtTranslation(locale);
    return own->language();
}

} // namespace versweep
