#include <vkcore/VkLocale.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "VkCoreLog_p.h"

namespace {
const char kTranslationsVariable[] = "VK_TRANSLATIONS_DIR";
const char kFilePrefix[] = "vkpopupdialog_";
const char kQtFilePrefix[] = "qtbase_";
const char kFileSuffix[] = ".qm";
const char kInstalledFolder[] = "../share/vkpopupdialog/translations";
const char kBesideAppFolder[] = "translations";
const char kResourceFolder[] = ":/translations";

QStringList searchFolders()
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable(kTranslationsVariable);
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        folders << QDir::cleanPath(QDir(appDir).filePath(QLatin1String(kInstalledFolder)));
        folders << QDir(appDir).filePath(QLatin1String(kBesideAppFolder));
    }
    folders << QLatin1String(kResourceFolder);
    return folders;
}

// Loads fileName from the first folder that holds a readable copy; null when none does. A damaged
// file in one folder should not hide a good one further down the list.
std::unique_ptr<QTranslator> loadCatalogue(const QString& fileName, const QStringList& folders)
{
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo(path).isFile() && translator->load(path))
            return translator;
    }
    return nullptr;
}

// Qt's own texts (file dialog, standard buttons, context menus of text fields): a copy shipped with
// the application comes first, as it matches the Qt it ships; then the one installed with Qt.
QStringList qtCatalogueFolders()
{
    QStringList folders = searchFolders();
    folders.removeAll(QLatin1String(kResourceFolder));
    folders << QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    return folders;
}
} // namespace

class VkLocale::Private
{
public:
    VkLanguageType language = LanguageEnglish;
    std::unique_ptr<QTranslator> translator;
    std::unique_ptr<QTranslator> qtTranslator;
    QString lastError;

    void replaceTranslators(std::unique_ptr<QTranslator> ours, std::unique_ptr<QTranslator> qts)
    {
        // Install before removing so that no moment passes with untranslated texts on screen. The
        // translator installed last is asked first: ours, so that a text of ours never takes Qt's
        // wording.
        if (qts)
            QCoreApplication::installTranslator(qts.get());
        if (ours)
            QCoreApplication::installTranslator(ours.get());
        if (translator)
            QCoreApplication::removeTranslator(translator.get());
        if (qtTranslator)
            QCoreApplication::removeTranslator(qtTranslator.get());
        translator = std::move(ours);
        qtTranslator = std::move(qts);
    }
};

VkLocale::VkLocale()
    : d(std::make_unique<Private>())
{}

VkLocale::~VkLocale() = default;

template <>
VkLocale* VkSingleton<VkLocale>::instance()
{
    static VkLocale theInstance;
    return &theInstance;
}

VkLocale::VkLanguageType VkLocale::languageType() const
{
    return d->language;
}

QString VkLocale::lastError() const
{
    return d->lastError;
}

QString VkLocale::languageCode(VkLanguageType type)
{
    switch (type) {
    case LanguageEnglish:
        return QStringLiteral("en");
    case LanguageChineseSimplified:
        return QStringLiteral("zh_CN");
    case LanguageJapanese:
        return QStringLiteral("ja");
    case LanguageGerman:
        return QStringLiteral("de");
    case LanguageItalian:
        return QStringLiteral("it");
    case LanguageFrench:
        return QStringLiteral("fr");
    case LanguagePortuguese:
        return QStringLiteral("pt");
    case LanguageSpanish:
        return QStringLiteral("es");
    case LanguageDutch:
        return QStringLiteral("nl");
    case LanguageRussian:
        return QStringLiteral("ru");
    case LanguageKorean:
        return QStringLiteral("ko");
    case LanguageChineseTraditional:
        return QStringLiteral("zh_TW");
    }
    return QString();
}

bool VkLocale::setLanguage(VkLanguageType type)
{
    const QString code = languageCode(type);
    if (code.isEmpty()) {
        d->lastError = QStringLiteral("%1 is not a language").arg(int(type));
        return false;
    }
    if (!QCoreApplication::instance()) {
        d->lastError = QStringLiteral("no application object to install a translation into");
        return false;
    }

    if (type == LanguageEnglish) {
        // The texts in the code and in Qt are English already; removing the translators is the
        // whole switch.
        d->replaceTranslators(nullptr, nullptr);
        d->language = type;
        d->lastError.clear();
        return true;
    }

    const QString fileName = QLatin1String(kFilePrefix) + code + QLatin1String(kFileSuffix);
    std::unique_ptr<QTranslator> translator = loadCatalogue(fileName, searchFolders());
    if (!translator) {
        d->lastError =
            QStringLiteral("no readable %1 in %2").arg(fileName, searchFolders().join(QLatin1String(", ")));
        return false;
    }

    // Without Qt's catalogue our own texts still switch; only Qt's dialogs stay English.
    const QString qtFileName = QLatin1String(kQtFilePrefix) + code + QLatin1String(kFileSuffix);
    std::unique_ptr<QTranslator> qtTranslator = loadCatalogue(qtFileName, qtCatalogueFolders());
    if (!qtTranslator)
        qCInfo(lcVkCore, "no %s in %s: Qt's own dialogs and buttons stay English", qUtf8Printable(qtFileName),
               qUtf8Printable(qtCatalogueFolders().join(QLatin1String(", "))));

    d->replaceTranslators(std::move(translator), std::move(qtTranslator));
    d->language = type;
    d->lastError.clear();
    return true;
}
